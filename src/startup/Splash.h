#pragma once
// TForm3, the splash window: the picture qvz_splash.jpg from the launch
// folder (or the built-in one) shown at its natural size from the top-left
// corner, revealed by the chosen effect.

#include "platform/EventSink.h"
#include "platform/Platform.h"
#include "platform/SplashWindow.h"

#include <memory>
#include <string>
#include <string_view>

namespace qvz {

namespace resources {
// The built-in 340 x 280 JPEG, compiled into the program.
extern const std::string_view kBuiltinSplashPicture;
}

inline constexpr std::string_view kSplashPictureFileName = "qvz_splash.jpg";

namespace design {
inline constexpr int kForm3ClientWidth = 292;
inline constexpr int kForm3ClientHeight = 216;
// The effect an out-of-range Effect setting falls back to: the default.
inline constexpr int kDefaultEffect = 1;
// Sw and Sh are clamped to this range: a window needs at least one pixel, and
// nothing wider or taller than a 4K display is of use for a splash. The bound
// also caps what a window's buffers and the decoded picture take (64 MB each).
inline constexpr int kMinimumSplashSide = 1;
inline constexpr int kMaximumSplashSide = 4096;
}

// The reveal effect at a position of the effect list; a position outside the
// list gives the default effect rather than ending the program.
platform::RevealEffect transitionAt(int index);

class TForm3 {
public:
    // Creates the window hidden and runs FormCreate; a failure inside it is
    // reported through the sink and the built-in picture stays.
    TForm3(platform::Platform platform, platform::EventSink& events);

    // Makes entry `index` of the effect list the one played on show.
    void setShowTransition(int index);
    void setTransitionDuration(int milliseconds);
    void setWidth(int width);
    void setHeight(int height);

    // Shows the window centred on the desktop and returns once the effect has
    // run to its end.
    void Show();
    void Repaint();
    // Hides the window; it stays hidden until the program ends.
    void Close();

private:
    void FormCreate();
    // Decodes Image1's picture for the window's current size.
    void loadPictureForSize();

    platform::Platform m_platform;
    platform::EventSink& m_events;
    std::unique_ptr<platform::SplashWindow> m_window;
    // Image1's picture as JPEG bytes; decoded when the window's size is known,
    // so that nothing beyond what the window shows is ever decoded.
    std::string m_imageBytes;
    int m_width = design::kForm3ClientWidth;
    int m_height = design::kForm3ClientHeight;
};

}
