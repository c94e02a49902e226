#include "mainwindow/TForm1.h"

#include "mainwindow/TForm1Design.h"
#include "startup/LaunchSettings.h"

namespace qvz {

TForm1::TForm1(platform::Platform platform, platform::EventSink& events)
    : m_platform(platform)
    , m_window(platform.application.createMainWindow())
    , m_mediaPlayer1(m_window->mediaPlayer(), platform.files)
    , m_music(platform.files, m_mediaPlayer1, m_window->soundBox(), m_musicEnabled)
{
    m_window->setClientSize(design::kForm1ClientSize.width, design::kForm1ClientSize.height);
    m_mediaPlayer1.onNotify([this](music::NotifyValue value) { m_music.MediaPlayer1Notify(value); });
    m_window->soundBox().onClick([this] { m_music.CheckBox1Click(); });
    events.dispatch([this] { FormCreate(); });
}

void TForm1::FormCreate()
{
    m_musicEnabled = false;
    SettingsReader settings(m_platform.files, settingsPath(m_platform.files));
    m_window->setTitle(settings.readString(kFormSection, "Caption", design::kDefaultCaption));
    musicStage(settings);
}

void TForm1::musicStage(SettingsReader& settings)
{
    m_music.musicStage(settings);
}

}
