#pragma once
// The audio device behind the main window's hidden media player: it opens one
// file at a time, plays, pauses, stops and closes it, and tells the program when
// the track has played to its end.
//
// Implemented (gtk/GstMediaPlayer): GStreamer's playbin with the automatic
// audio sink (PulseAudio or PipeWire); the decoder is chosen from the file's
// type; an open waits, bounded, until the file is ready or has failed, and
// fails when no sound server answers; the end of the track is a segment end,
// so playing again right then continues without a gap; MIDI is rendered by
// fluidsynth with the system's General MIDI soundfont.
// Not implemented: positions, lengths, tracks, recording, video.
//
// The player control's own rules (completion notices and what supersedes or
// aborts them, the "No MCI device open" error) are the program's, in
// music/TMediaPlayer; this device keeps none.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qvz::platform {

enum class PlayerMode {
    NotOpen,
    Stopped,
    Playing,
    Paused,
};

// The part of a decoded track that holds the real samples, in samples at the
// track's rate, when the file says its decoder yields more (an MP3's encoder
// delay and padding).
struct SampleRange {
    int64_t first = 0;
    int64_t end = 0;
    int sampleRate = 0;
};

class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;

    // Opens the file, closing any open one first, and waits until it is ready
    // to play. Throws std::runtime_error with the media framework's own
    // message when the file cannot be played or no sound server answers.
    // With realSamples, only that part of the track is played.
    virtual void open(const std::string& path, std::optional<SampleRange> realSamples) = 0;

    // Closes the file; nothing when none is open.
    virtual void close() = 0;

    // Plays from the current position, from the start when the track has
    // ended. Playing again as soon as the end is reported leaves no gap.
    virtual void play() = 0;
    // Both hold the position; play() goes on from it.
    virtual void pause() = 0;
    virtual void stop() = 0;

    // Stopped once the track has played to its end.
    virtual PlayerMode mode() const = 0;

    // Called (through the event sink) when the track has played to its end.
    virtual void onEnded(std::function<void()> handler) = 0;
    // Called (through the event sink) when playback fails after the open.
    virtual void onFailed(std::function<void(const std::string& message)> handler) = 0;

    // Runs the function later on the program's thread, through the event sink,
    // as a notice of the device would arrive.
    virtual void post(std::function<void()> function) = 0;
};

}
