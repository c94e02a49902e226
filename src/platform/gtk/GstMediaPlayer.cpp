#include "platform/gtk/GstMediaPlayer.h"

#include "platform/gtk/GLibPtr.h"

#include <gst/audio/gstaudiobasesink.h>

#include <stdexcept>

namespace qvz::gtk {

namespace {

// playbin's GstPlayFlags: audio only, so a cover picture in an MP3 or a video
// track never opens a window.
constexpr guint kPlayFlagAudio = 1 << 1;

struct GstObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
template<typename T>
using GstObjectPtr = std::unique_ptr<T, GstObjectUnref>;

struct GstMessageUnref {
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
using GstMessagePtr = std::unique_ptr<GstMessage, GstMessageUnref>;

std::string errorText(GstMessage* message)
{
    GError* raw = nullptr;
    gchar* debug = nullptr;
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR)
        gst_message_parse_error(message, &raw, &debug);
    else
        gst_message_parse_warning(message, &raw, &debug);
    GErrorPtr error(raw);
    GCharPtr debugText(debug);
    return error && error->message ? error->message : "Unknown media error";
}

// How much decoded audio the sink holds ahead of what is heard. The end of the
// track is reported as soon as its last buffer has been queued, and the restart
// must be queued before the sink runs dry; the event loop can be held up for
// a whole second by the pause before it starts, so the sink holds more.
constexpr gint64 kSinkBufferMicroseconds = 1500000;

// fluidsynth's own master gain (0.2) renders General MIDI about 20 dB below
// the level of ordinary recorded music; this brings a MIDI tune up to it.
constexpr gdouble kMidiSynthGain = 1.0;

void handleElementAdded(GstBin*, GstBin*, GstElement* element, gpointer)
{
    if (GST_IS_AUDIO_BASE_SINK(element))
        g_object_set(element, "buffer-time", kSinkBufferMicroseconds, nullptr);
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory && g_str_equal(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "fluiddec"))
        g_object_set(element, "synth-gain", kMidiSynthGain, nullptr);
}

gint64 samplesToTime(int64_t samples, int rate)
{
    return static_cast<gint64>(gst_util_uint64_scale(static_cast<guint64>(samples), GST_SECOND, static_cast<guint64>(rate)));
}

}

GstMediaPlayer::GstMediaPlayer(platform::EventSink& events)
    : m_events(events)
{
}

GstMediaPlayer::~GstMediaPlayer()
{
    close();
    if (m_postSource)
        g_source_remove(m_postSource);
}

void GstMediaPlayer::open(const std::string& path, std::optional<platform::SampleRange> realSamples)
{
    close();
    GError* initError = nullptr;
    if (!gst_init_check(nullptr, nullptr, &initError)) {
        GErrorPtr owned(initError);
        throw std::runtime_error(owned ? owned->message : "GStreamer could not be initialised");
    }
    GstElement* pipeline = gst_element_factory_make("playbin", nullptr);
    if (!pipeline)
        throw std::runtime_error("GStreamer's playbin element is not installed");
    m_pipeline = GST_ELEMENT(gst_object_ref_sink(pipeline));

    GError* uriError = nullptr;
    GCharPtr uri(gst_filename_to_uri(path.c_str(), &uriError));
    if (!uri) {
        GErrorPtr owned(uriError);
        std::string text = owned ? owned->message : "Invalid file name";
        close();
        throw std::runtime_error(text);
    }
    // playbin takes its own references to the sinks.
    GstElement* audioSink = gst_element_factory_make("autoaudiosink", nullptr);
    GstElement* videoSink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(m_pipeline, "uri", uri.get(), "flags", kPlayFlagAudio, nullptr);
    if (audioSink)
        g_object_set(m_pipeline, "audio-sink", audioSink, nullptr);
    // Connected to the pipeline, which lives no longer than this object.
    g_signal_connect(m_pipeline, "deep-element-added", G_CALLBACK(handleElementAdded), nullptr);
    if (videoSink)
        g_object_set(m_pipeline, "video-sink", videoSink, nullptr);

    if (realSamples && realSamples->sampleRate > 0) {
        m_segmentStart = samplesToTime(realSamples->first, realSamples->sampleRate);
        m_segmentStop = samplesToTime(realSamples->end, realSamples->sampleRate);
    } else {
        m_segmentStart = 0;
        m_segmentStop = -1;
    }
    m_sinkWarning.clear();
    std::optional<GstMessageType> endDuringOpen;
    try {
        gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
        // An end seen while prerolling belongs to the stream before the
        // segment seek below replaces it.
        waitUntilReady();
        requireRealSink();
        // Without a stop, a parser may end the segment at its own estimate of
        // the length (FLAC's rounds up to whole blocks), which the sink then
        // plays as silence; the stream's exact duration closes it at the last
        // sample.
        gint64 duration = -1;
        if (m_segmentStop < 0 && gst_element_query_duration(m_pipeline, GST_FORMAT_TIME, &duration) && duration > 0)
            m_segmentStop = duration;
        // From here on the track plays as one segment, so its end is reported
        // while the sink still holds audio to bridge the restart.
        if (!seekToStart(Flush::Yes))
            throw std::runtime_error("The file cannot be played from its start");
        endDuringOpen = waitUntilReady();
    } catch (...) {
        close();
        throw;
    }
    GstObjectPtr<GstBus> bus(gst_element_get_bus(m_pipeline));
    m_busWatch = gst_bus_add_watch(bus.get(), handleBusMessage, this);
    m_mode = platform::PlayerMode::Stopped;
    // A short track can be queued whole, and its end reported, while the
    // pipeline is still getting ready. The first play then queues the restart
    // at once: the event loop may be held up by the rest of start-up before
    // it could react to that end, and the loop point must not be lost.
    m_atEnd = endDuringOpen.has_value();
    m_drained = endDuringOpen == GST_MESSAGE_EOS;
    m_segmentRunning = !m_atEnd;
}

std::optional<GstMessageType> GstMediaPlayer::waitUntilReady()
{
    // Popping discards every message that does not match the filter, so the
    // ends of the track are asked for too and handed back.
    constexpr auto kWanted = GstMessageType(GST_MESSAGE_ERROR | GST_MESSAGE_WARNING | GST_MESSAGE_ASYNC_DONE
        | GST_MESSAGE_SEGMENT_DONE | GST_MESSAGE_EOS);
    std::optional<GstMessageType> end;
    auto take = [this, &end](GstMessage* message) {
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ERROR:
            throw std::runtime_error(errorText(message));
        case GST_MESSAGE_WARNING:
            // The automatic sink's own complaint says why there is no sound
            // server; warnings that follow from its fallback (playbin's "No
            // volume control found") would only hide it.
            if (m_sinkWarning.empty() && fromAudioSink(message))
                m_sinkWarning = errorText(message);
            break;
        case GST_MESSAGE_SEGMENT_DONE:
        case GST_MESSAGE_EOS:
            end = GST_MESSAGE_TYPE(message);
            break;
        default:
            break;
        }
    };
    GstObjectPtr<GstBus> bus(gst_element_get_bus(m_pipeline));
    gint64 deadline = g_get_monotonic_time() + gint64 { kOpenTimeoutSeconds } * G_USEC_PER_SEC;
    for (;;) {
        GstState current = GST_STATE_VOID_PENDING;
        GstStateChangeReturn result = gst_element_get_state(m_pipeline, &current, nullptr, 0);
        gint64 left = deadline - g_get_monotonic_time();
        if (result == GST_STATE_CHANGE_SUCCESS || result == GST_STATE_CHANGE_NO_PREROLL) {
            // Messages that came before the change finished still count.
            while (GstMessagePtr message { gst_bus_pop_filtered(bus.get(), kWanted) })
                take(message.get());
            return end;
        }
        if (left <= 0)
            throw std::runtime_error("The file did not become ready to play in time");
        GstMessagePtr message { gst_bus_timed_pop_filtered(bus.get(), std::min<gint64>(left, 50 * G_USEC_PER_SEC / 1000) * GST_USECOND, kWanted) };
        if (message)
            take(message.get());
    }
}

bool GstMediaPlayer::fromAudioSink(GstMessage* message)
{
    GstElement* sink = nullptr;
    g_object_get(m_pipeline, "audio-sink", &sink, nullptr);
    GstObjectPtr<GstElement> owned(sink);
    GstObject* source = GST_MESSAGE_SRC(message);
    return sink && source && (source == GST_OBJECT(sink) || gst_object_has_as_ancestor(source, GST_OBJECT(sink)));
}

void GstMediaPlayer::requireRealSink()
{
    GstElement* sink = nullptr;
    g_object_get(m_pipeline, "audio-sink", &sink, nullptr);
    GstObjectPtr<GstElement> owned(sink);
    if (!sink || !GST_IS_BIN(sink))
        return;
    // autoaudiosink holds the sink it chose as its only child; when no sound
    // server answered, that is a fakesink and the music would be silent.
    bool fake = false;
    GstIterator* children = gst_bin_iterate_elements(GST_BIN(sink));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(children, &item) == GST_ITERATOR_OK) {
        auto* child = GST_ELEMENT(g_value_get_object(&item));
        GstElementFactory* factory = gst_element_get_factory(child);
        if (factory && g_str_equal(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "fakesink"))
            fake = true;
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(children);
    if (fake)
        throw std::runtime_error(m_sinkWarning.empty() ? "No sound server to play to" : m_sinkWarning);
}

bool GstMediaPlayer::seekToStart(Flush flush)
{
    auto flags = GstSeekFlags(GST_SEEK_FLAG_SEGMENT | GST_SEEK_FLAG_ACCURATE
        | (flush == Flush::Yes ? GST_SEEK_FLAG_FLUSH : GST_SEEK_FLAG_NONE));
    return gst_element_seek(m_pipeline, 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, m_segmentStart,
        m_segmentStop < 0 ? GST_SEEK_TYPE_NONE : GST_SEEK_TYPE_SET, m_segmentStop < 0 ? 0 : m_segmentStop);
}

void GstMediaPlayer::close()
{
    if (!m_pipeline)
        return;
    if (m_busWatch) {
        g_source_remove(m_busWatch);
        m_busWatch = 0;
    }
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    gst_object_unref(m_pipeline);
    m_pipeline = nullptr;
    m_mode = platform::PlayerMode::NotOpen;
    m_atEnd = false;
    m_segmentRunning = false;
}

void GstMediaPlayer::play()
{
    if (!m_pipeline)
        return;
    if (m_atEnd) {
        // The end of a segment is reported when its last sample has been
        // queued, so a seek without flushing puts the start right behind it:
        // no gap, and nothing lost when the event loop was held up. Should
        // the restart come after the sink has played out, its samples carry
        // times already past; the sink skips those and the loop goes on in
        // step with the clock. Only a pipeline that has drained to EOS needs
        // a flush to take data again; so does a seek that found no taker.
        if (m_drained || !seekToStart(Flush::No)) {
            if (!seekToStart(Flush::Yes)) {
                reportFailure("The track cannot be played again from its start");
                return;
            }
        }
        m_atEnd = false;
        m_drained = false;
        m_segmentRunning = true;
    }
    gst_element_set_state(m_pipeline, GST_STATE_PLAYING);
    m_mode = platform::PlayerMode::Playing;
}

void GstMediaPlayer::pause()
{
    if (!m_pipeline)
        return;
    gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
    m_mode = platform::PlayerMode::Paused;
}

void GstMediaPlayer::stop()
{
    if (!m_pipeline)
        return;
    gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
    m_mode = platform::PlayerMode::Stopped;
}

void GstMediaPlayer::reportFailure(const std::string& text)
{
    gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
    m_mode = platform::PlayerMode::Stopped;
    if (m_failedHandler) {
        auto handler = m_failedHandler;
        m_events.dispatch([handler, text] { handler(text); });
    }
}

platform::PlayerMode GstMediaPlayer::mode() const
{
    return m_atEnd && m_mode != platform::PlayerMode::NotOpen ? platform::PlayerMode::Stopped : m_mode;
}

void GstMediaPlayer::post(std::function<void()> function)
{
    m_posted.push_back(std::move(function));
    if (!m_postSource)
        m_postSource = g_idle_add(runPosted, this);
}

gboolean GstMediaPlayer::runPosted(gpointer data)
{
    auto* self = static_cast<GstMediaPlayer*>(data);
    self->m_postSource = 0;
    auto posted = std::move(self->m_posted);
    self->m_posted.clear();
    for (auto& function : posted)
        self->m_events.dispatch(function);
    return G_SOURCE_REMOVE;
}

gboolean GstMediaPlayer::handleBusMessage(GstBus*, GstMessage* message, gpointer data)
{
    auto* self = static_cast<GstMediaPlayer*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_SEGMENT_DONE:
    case GST_MESSAGE_EOS:
        // Every seek starts one segment, which ends once; a second end
        // reported for it (a parser's SEGMENT_DONE followed by the EOS of a
        // drained stream) is not a second loop point.
        if (!self->m_segmentRunning)
            break;
        self->m_segmentRunning = false;
        self->m_atEnd = true;
        self->m_drained = GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
        if (self->m_endedHandler)
            self->m_events.dispatch(self->m_endedHandler);
        break;
    case GST_MESSAGE_ERROR:
        self->reportFailure(errorText(message));
        break;
    default:
        break;
    }
    return G_SOURCE_CONTINUE;
}

}
