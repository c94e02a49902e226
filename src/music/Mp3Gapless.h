#pragma once
// Where the real samples of an MP3 lie.
//
// An MP3 encoder adds silence before the first real sample (the encoder
// delay) and after the last (padding to a whole frame), and every standard
// decoder adds 529 samples of its own delay at the start. LAME, and encoders
// built on it, record the delay and padding in the header of their first
// frame (the "Xing"/"Info" frame). The decoders here do not use that record,
// so a 1-second MP3 decodes about 45 ms too long; looping it would leave a
// silence at every loop point unless only the real samples are played.

#include "platform/MediaPlayer.h"

#include <optional>
#include <string_view>

namespace qvz::music {

// Decoder delay of the MPEG audio synthesis filter bank, in samples.
inline constexpr int kMp3DecoderDelay = 529;

struct LameHeader {
    int sampleRate = 0;
    int samplesPerFrame = 0;
    // Audio frames after the header frame; 0 when the header does not say.
    long frames = 0;
    int encoderDelay = 0;
    int padding = 0;
};

// Reads the Xing/Info frame and its LAME extension at the start of an MP3
// file (after an ID3v2 tag, when there is one). Nothing when the bytes do not
// start so, or the header carries no frame count or no LAME extension.
std::optional<LameHeader> readLameHeader(std::string_view fileBytes);

// The real samples of the decoded track; nothing when the file is not an MP3
// with a LAME header that makes sense.
std::optional<platform::SampleRange> mp3RealSamples(std::string_view fileBytes);

}
