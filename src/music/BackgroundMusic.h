#pragma once
// The background music of the main window: started by the music stage of its
// creation, looped on every successful completion notice, paused and resumed
// by the Sound box, and silenced for good by a link to an ".mp3" file.

#include "music/TMediaPlayer.h"
#include "platform/FileSystem.h"
#include "platform/Window.h"
#include "startup/LaunchSettings.h"

#include <string>
#include <string_view>

namespace qvz::music {

// The extension of a link's text: from its last "." on, when no "\" and no
// ":" follows it; empty otherwise.
std::string_view linkExtension(std::string_view linkText);

// The music file's path: the launch folder joined with the musicfile value.
// Menus are authored on Windows, so a "\" in the value separates folders.
std::string musicFilePath(std::string_view launchFolder, std::string_view musicFile);

class BackgroundMusic {
public:
    // musicEnabled is the window's MusicEnabled flag, which gates the Sound box.
    BackgroundMusic(platform::FileSystem& files, TMediaPlayer& mediaPlayer1, platform::CheckBox& checkBox1,
        bool& musicEnabled);

    // The music stage of FormCreate. Throws the device's message when the file
    // is there but cannot be played; the Sound box then stays hidden.
    void musicStage(const SettingsReader& settings);

    // A completion notice of the player: a track that played to its end
    // starts again. A failure of that play is recorded by the player only.
    void MediaPlayer1Notify(NotifyValue value);

    // After a click has toggled the Sound box: ticked plays (resuming and
    // keeping the loop going), unticked pauses.
    void CheckBox1Click();

    // The last step of every navigation: a link to an ".mp3" file (the
    // extension exactly so) stops and closes the player, silently.
    void mp3Rule(std::string_view linkText);

private:
    platform::FileSystem& m_files;
    TMediaPlayer& m_mediaPlayer1;
    platform::CheckBox& m_checkBox1;
    bool& m_musicEnabled;
};

}
