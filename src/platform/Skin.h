#pragma once
// What a skinned frame looks like, as plain data: the program decides which
// look applies (a built-in style or a theme file) and the backend paints it.
//
// Implemented (gtk/FramePainter): every field below. Pictures are read with
// GdkPixbuf (PNG, JPEG and the other formats it knows); a picture that cannot be
// read is drawn from the colours instead.

#include <array>
#include <cstdint>
#include <string>

namespace qvz::platform {

struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;

    friend bool operator==(const Colour&, const Colour&) = default;
};

// How the title bar's surface is finished, on top of its two colours.
enum class TitleFinish {
    Flat, // one colour, the top one
    Gradient, // top colour fading into the bottom one
    Brushed, // fine horizontal streaks, as brushed metal
    Glossy, // a bright glass highlight over the upper half
    Organic, // soft rounded bubbles along the bar
};

enum class ButtonShape {
    Square,
    Rounded,
    Round,
};

// The title buttons in the order the frame lays them out.
enum class TitleButton {
    ControlBox,
    Close,
    Maximize,
    Minimize,
};
inline constexpr int kTitleButtonCount = 4;

enum class ButtonState {
    Normal,
    Hover,
    Pressed,
};
inline constexpr int kButtonStateCount = 3;

// Pictures of the title bar that replace the drawn artwork, as full paths;
// an empty path means "draw it".
struct FramePictures {
    std::string left;
    std::string middle;
    std::string right;
    // Indexed by TitleButton, then ButtonState.
    std::array<std::array<std::string, kButtonStateCount>, kTitleButtonCount> buttons;

    friend bool operator==(const FramePictures&, const FramePictures&) = default;
};

// Where the frame's parts sit, from the window's design.
struct FrameLayout {
    int titleBarHeight = 0;
    int sectionWidth = 0; // the left and right title sections
    int buttonSize = 0; // square
    int buttonTop = 0; // from the top of the title bar
    int statusHeight = 0;
    // The Sound box, anchored to the frame's left and bottom edges.
    int checkBoxLeft = 0;
    int checkBoxBottomGap = 0;
    int checkBoxWidth = 0;
    int checkBoxHeight = 0;

    friend bool operator==(const FrameLayout&, const FrameLayout&) = default;
};

struct FrameLook {
    // For people reading logs and tests: "DeepBlue", "FromThemeFile"...
    std::string name;

    Colour border;
    int borderWidth = 1;
    Colour face; // the frame's client colour
    Colour titleTop;
    Colour titleBottom;
    TitleFinish titleFinish = TitleFinish::Flat;
    int cornerRadius = 0;

    std::string captionFont;
    int captionPixelHeight = 11;
    bool captionBold = true;
    Colour captionColour;

    ButtonShape buttonShape = ButtonShape::Square;
    Colour buttonFace;
    Colour buttonSymbol;
    // Colours of the close, maximise and minimise buttons where a style gives
    // them their own (traffic-light buttons); otherwise equal to buttonFace.
    Colour closeFace;
    Colour maximizeFace;
    Colour minimizeFace;

    FramePictures pictures;

    friend bool operator==(const FrameLook&, const FrameLook&) = default;
};

}
