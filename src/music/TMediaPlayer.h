#pragma once
// The main window's media player control, MediaPlayer1: the operations and
// completion notices that the music relies on, over an audio device.
//
// A command may ask for a completion notice. Only one notice is outstanding at
// a time: a later command that asks for one supersedes it, and a pause, stop
// or close aborts it. Play asks for a notice unless told otherwise, and its
// notice is successful when the track has played to its end. Every notice
// arrives as an event on the program's thread, never inside the command.

#include "platform/FileSystem.h"
#include "platform/MediaPlayer.h"

#include <functional>
#include <memory>
#include <string>

namespace qvz::music {

enum class NotifyValue {
    Successful,
    Superseded,
    Aborted,
    Failed,
};

enum class Notify {
    No,
    Yes,
};

// The device's text for every command but open and close on a closed player.
inline constexpr const char* kNoDeviceOpen = "No MCI device open";

class TMediaPlayer {
public:
    TMediaPlayer(platform::MediaPlayer& device, platform::FileSystem& files);
    // Closes the device when it is still open.
    ~TMediaPlayer();
    TMediaPlayer(const TMediaPlayer&) = delete;
    TMediaPlayer& operator=(const TMediaPlayer&) = delete;

    void setFileName(std::string path) { m_fileName = std::move(path); }
    const std::string& fileName() const { return m_fileName; }

    // Opens the file named by fileName(), closing first when open. Throws the
    // device's message when the file cannot be played.
    void open();
    // Plays from the current position, rewinding first when at the end.
    void play(Notify notify = Notify::Yes);
    // Asks that the next command request a completion notice.
    void setNotify(bool notify) { m_notifyNext = notify; }
    // Pauses when playing, resumes when paused, nothing otherwise.
    void pause();
    void stop();
    // Nothing when not open.
    void close();

    platform::PlayerMode mode() const { return m_device.mode(); }
    bool isOpen() const { return m_open; }
    // The result of the last completion notice.
    NotifyValue notifyValue() const { return m_notifyValue; }
    // The text of the last failure the player recorded instead of reporting.
    const std::string& lastError() const { return m_lastError; }
    void recordError(std::string message) { m_lastError = std::move(message); }

    // Called on the program's thread with each completion notice.
    void onNotify(std::function<void(NotifyValue)> handler) { m_notifyHandler = std::move(handler); }

private:
    enum class Interrupts {
        No,
        Yes,
    };

    void requireOpen() const;
    // Settles the outstanding notice before a command and reports whether the
    // command itself asks for one.
    bool beginCommand(Interrupts interrupts, bool playDefault);
    void deliverLater(NotifyValue value);
    void deliver(NotifyValue value);

    platform::MediaPlayer& m_device;
    platform::FileSystem& m_files;
    std::string m_fileName;
    std::string m_lastError;
    std::function<void(NotifyValue)> m_notifyHandler;
    NotifyValue m_notifyValue = NotifyValue::Successful;
    bool m_open = false;
    bool m_notifyNext = false;
    // Play asked for a notice that the track's end will answer.
    bool m_playNoticePending = false;
    // Notices posted for later hold this weakly, so none reaches a destroyed control.
    std::shared_ptr<TMediaPlayer*> m_self = std::make_shared<TMediaPlayer*>(this);
};

}
