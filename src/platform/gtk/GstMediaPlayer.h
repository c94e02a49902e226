#pragma once
// The media player's audio device over GStreamer.
//
// Implemented: playbin with the automatic audio sink and no video; an open
// that waits (at most kOpenTimeoutSeconds) for the first buffer to reach the
// sink; the media framework's own error texts; no sound server (the automatic
// sink falls back to a silent fake sink) is an open failure. Playback runs in
// segment mode: the end of the track posts SEGMENT_DONE instead of EOS, and a
// play that follows it is a non-flushing seek, so the audio queued in the sink
// (kSinkBufferMicroseconds) runs straight into the restart without a gap, even
// when the event loop reacts late. Each segment's end is reported once. A range of real samples (an
// MP3's) becomes the segment's start and stop. MIDI goes through midiparse
// and fluiddec, which loads the first soundfont it finds under
// /usr/share/sounds (sf3, then sf2); midiparse does no segment seeks, so a
// MIDI track ends in EOS and restarts with a flushing seek, a short gap.
// Not implemented: video, positions, volume.

#include "platform/EventSink.h"
#include "platform/MediaPlayer.h"

#include <gst/gst.h>

#include <functional>
#include <vector>

namespace qvz::gtk {

class GstMediaPlayer final : public platform::MediaPlayer {
public:
    static constexpr int kOpenTimeoutSeconds = 10;

    explicit GstMediaPlayer(platform::EventSink& events);
    ~GstMediaPlayer() override;
    GstMediaPlayer(const GstMediaPlayer&) = delete;
    GstMediaPlayer& operator=(const GstMediaPlayer&) = delete;

    void open(const std::string& path, std::optional<platform::SampleRange> realSamples) override;
    void close() override;
    void play() override;
    void pause() override;
    void stop() override;
    platform::PlayerMode mode() const override;
    void onEnded(std::function<void()> handler) override { m_endedHandler = std::move(handler); }
    void onFailed(std::function<void(const std::string&)> handler) override { m_failedHandler = std::move(handler); }
    void post(std::function<void()> function) override;

private:
    enum class Flush {
        No,
        Yes,
    };

    static gboolean handleBusMessage(GstBus*, GstMessage*, gpointer self);
    static gboolean runPosted(gpointer self);

    // Waits for the pipeline to finish its state change; throws the first
    // error it posts, or a text of ours when it takes too long. Returns the
    // kind of end (SEGMENT_DONE or EOS) taken off the bus meanwhile, if any.
    std::optional<GstMessageType> waitUntilReady();
    // False when no element took the seek.
    bool seekToStart(Flush flush);
    // Stops the playback and tells the program why.
    void reportFailure(const std::string& text);
    // True when the message comes from the automatic audio sink or the sink it chose.
    bool fromAudioSink(GstMessage* message);
    // Throws when the automatic sink found no sound server to play to.
    void requireRealSink();

    platform::EventSink& m_events;
    GstElement* m_pipeline = nullptr; // our one reference; null while closed
    guint m_busWatch = 0;
    guint m_postSource = 0;
    std::vector<std::function<void()>> m_posted;
    std::function<void()> m_endedHandler;
    std::function<void(const std::string&)> m_failedHandler;
    std::string m_sinkWarning;
    gint64 m_segmentStart = 0;
    gint64 m_segmentStop = -1; // -1: the end of the track
    platform::PlayerMode m_mode = platform::PlayerMode::NotOpen;
    bool m_atEnd = false;
    // The end came as EOS (the file's elements do not do segment seeks), so
    // the pipeline has drained and a restart needs a flushing seek.
    bool m_drained = false;
    // A segment has been started by a seek and its end not yet reported.
    bool m_segmentRunning = false;
};

}
