#pragma once
// The main window: created hidden by the start-up sequence, which runs its
// creation handler; shown by the event loop.

#include "mainwindow/SkinStyles.h"
#include "music/BackgroundMusic.h"
#include "music/TMediaPlayer.h"
#include "platform/EventSink.h"
#include "platform/Platform.h"
#include "platform/Window.h"

#include <memory>
#include <string>

namespace qvz {

class SettingsReader;

class TForm1 {
public:
    // Creates the window and runs FormCreate; a failure inside FormCreate is
    // reported through the sink and the window is still there to be shown.
    TForm1(platform::Platform platform, platform::EventSink& events);

    platform::MainWindow& window() { return *m_window; }

    bool musicEnabled() const { return m_musicEnabled; }

    // The ".mp3" rule, the last step of every navigation of the content view.
    void mp3Rule(const std::string& linkText) { m_music.mp3Rule(linkText); }

    // The theme manager's style code, DeepBlue from the design until
    // FormCreate's skin stage changes it.
    UIStyle uiStyle() const { return m_uiStyle; }

private:
    void FormCreate();
    // The music stages of FormCreate, run with the creation's settings reader.
    void musicStage(SettingsReader& settings);

    // The theme manager passes a style to suiForm1, the one component in its
    // list; the status strip keeps the design's style.
    void applyUIStyle(UIStyle style);
    // suiFileTheme1 loads a theme file; a missing one loads nothing.
    void loadFileTheme(const std::string& path);
    // Sets the outer size, grown where the style's minimum demands.
    void resizeWithinMinimum();
    void FormShow();
    void FormDestroy();
    void WebBrowser1BeforeNavigate2(const platform::Navigation& navigation, bool& cancel);
    void Exit1Click();
    void sdf3Click();

    platform::Platform m_platform;
    std::unique_ptr<platform::MainWindow> m_window;
    bool m_musicEnabled = false;
    UIStyle m_uiStyle = UIStyle::DeepBlue;
    MinimumSize m_minimumSize = minimumSize(UIStyle::DeepBlue);
    int m_outerWidth = 0;
    int m_outerHeight = 0;
    // The right-click filter's handle; 0 until FormShow installs it.
    int MouseHookHandle = 0;
    music::TMediaPlayer m_mediaPlayer1;
    music::BackgroundMusic m_music;
};

}
