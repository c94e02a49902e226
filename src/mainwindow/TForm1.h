#pragma once
// The main window: created hidden by the start-up sequence, which runs its
// creation handler; shown by the event loop.

#include "platform/EventSink.h"
#include "platform/Platform.h"
#include "platform/Window.h"

#include <memory>
#include <string>

namespace qvz {

class TForm1 {
public:
    // Creates the window and runs FormCreate; a failure inside FormCreate is
    // reported through the sink and the window is still there to be shown.
    TForm1(platform::Platform platform, platform::EventSink& events);

    platform::MainWindow& window() { return *m_window; }

    bool musicEnabled() const { return m_musicEnabled; }

private:
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void WebBrowser1BeforeNavigate2(const platform::Navigation& navigation, bool& cancel);
    // The ".mp3" rule of the background music runs here, last, for every
    // navigation the view reports.
    void mp3Rule(const std::string& linkText);
    void Exit1Click();
    void sdf3Click();

    platform::Platform m_platform;
    std::unique_ptr<platform::MainWindow> m_window;
    bool m_musicEnabled = false;
    // The right-click filter's handle; 0 until FormShow installs it.
    int MouseHookHandle = 0;
};

}
