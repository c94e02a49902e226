#pragma once
// The main window: created hidden by the start-up sequence, which runs its
// creation handler; shown by the event loop.

#include "music/BackgroundMusic.h"
#include "music/TMediaPlayer.h"
#include "platform/EventSink.h"
#include "platform/Platform.h"
#include "platform/Window.h"

#include <memory>

namespace qvz {

class TForm1 {
public:
    // Creates the window and runs FormCreate; a failure inside FormCreate is
    // reported through the sink and the window is still there to be shown.
    TForm1(platform::Platform platform, platform::EventSink& events);

    platform::MainWindow& window() { return *m_window; }

    bool musicEnabled() const { return m_musicEnabled; }

    // The ".mp3" rule, the last step of every navigation of the content view.
    void mp3Rule(const std::string& linkText) { m_music.mp3Rule(linkText); }

private:
    void FormCreate();
    void musicStage(SettingsReader& settings);

    platform::Platform m_platform;
    std::unique_ptr<platform::MainWindow> m_window;
    bool m_musicEnabled = false;
    music::TMediaPlayer m_mediaPlayer1;
    music::BackgroundMusic m_music;
};

}
