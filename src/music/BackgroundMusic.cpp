#include "music/BackgroundMusic.h"

#include <exception>

namespace qvz::music {

std::string_view linkExtension(std::string_view linkText)
{
    auto cut = linkText.find_last_of(".\\:");
    if (cut == std::string_view::npos || linkText[cut] != '.')
        return {};
    return linkText.substr(cut);
}

std::string musicFilePath(std::string_view launchFolder, std::string_view musicFile)
{
    std::string path(launchFolder);
    for (char c : musicFile)
        path += c == '\\' ? '/' : c;
    return path;
}

BackgroundMusic::BackgroundMusic(platform::FileSystem& files, TMediaPlayer& mediaPlayer1,
    platform::CheckBox& checkBox1, bool& musicEnabled)
    : m_files(files)
    , m_mediaPlayer1(mediaPlayer1)
    , m_checkBox1(checkBox1)
    , m_musicEnabled(musicEnabled)
{
}

void BackgroundMusic::musicStage(const SettingsReader& settings)
{
    if (!settings.readBool(kFormSection, "music", false))
        return;
    m_musicEnabled = true;
    std::string folder = launchFolder(m_files);
    if (!m_files.fileExists(musicFilePath(folder, settings.readString(kFormSection, "musicfile", ""))))
        return;
    m_mediaPlayer1.setFileName(musicFilePath(folder, settings.readString(kFormSection, "musicfile", "")));
    m_mediaPlayer1.open();
    m_mediaPlayer1.play();
    m_checkBox1.setVisible(true);
}

void BackgroundMusic::MediaPlayer1Notify(NotifyValue value)
{
    if (value != NotifyValue::Successful)
        return;
    try {
        m_mediaPlayer1.setNotify(true);
        m_mediaPlayer1.play();
    } catch (const std::exception& error) {
        m_mediaPlayer1.recordError(error.what());
    }
}

void BackgroundMusic::CheckBox1Click()
{
    if (!m_musicEnabled)
        return;
    if (m_checkBox1.checked())
        m_mediaPlayer1.play();
    else
        m_mediaPlayer1.pause();
}

void BackgroundMusic::mp3Rule(std::string_view linkText)
{
    if (linkExtension(linkText) != ".mp3")
        return;
    try {
        m_mediaPlayer1.stop();
        m_mediaPlayer1.close();
    } catch (...) {
        // Silencing music that is not there is no failure worth a message.
    }
}

}
