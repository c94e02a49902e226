#include "music/Mp3Gapless.h"

#include <cstdint>

namespace qvz::music {

namespace {

uint32_t byteAt(std::string_view bytes, size_t offset)
{
    return static_cast<unsigned char>(bytes[offset]);
}

uint32_t bigEndian32(std::string_view bytes, size_t offset)
{
    return byteAt(bytes, offset) << 24 | byteAt(bytes, offset + 1) << 16 | byteAt(bytes, offset + 2) << 8
        | byteAt(bytes, offset + 3);
}

// Size of an ID3v2 tag at the start of the file, 0 when there is none. Its
// size field holds 7 bits a byte, so no sync pattern appears inside it.
size_t id3v2Size(std::string_view bytes)
{
    if (bytes.size() < 10 || bytes.substr(0, 3) != "ID3")
        return 0;
    uint32_t size = 0;
    for (size_t i = 6; i < 10; ++i) {
        if (byteAt(bytes, i) & 0x80)
            return 0;
        size = size << 7 | byteAt(bytes, i);
    }
    bool hasFooter = byteAt(bytes, 5) & 0x10;
    return 10 + size + (hasFooter ? 10 : 0);
}

}

std::optional<LameHeader> readLameHeader(std::string_view bytes)
{
    size_t frame = id3v2Size(bytes);
    if (frame > bytes.size() || bytes.size() - frame < 4)
        return std::nullopt;
    uint32_t header = bigEndian32(bytes, frame);
    if ((header & 0xFFE00000u) != 0xFFE00000u)
        return std::nullopt;
    uint32_t version = header >> 19 & 3; // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    uint32_t layer = header >> 17 & 3; // 1: Layer III
    uint32_t rateIndex = header >> 10 & 3;
    bool hasCrc = !(header >> 16 & 1);
    bool mono = (header >> 6 & 3) == 3;
    if (version == 1 || layer != 1 || rateIndex == 3)
        return std::nullopt;

    static constexpr int kRates[3][3] = { { 11025, 12000, 8000 }, { 22050, 24000, 16000 }, { 44100, 48000, 32000 } };
    bool mpeg1 = version == 3;
    LameHeader result;
    result.sampleRate = kRates[mpeg1 ? 2 : (version == 2 ? 1 : 0)][rateIndex];
    result.samplesPerFrame = mpeg1 ? 1152 : 576;
    size_t sideInformation = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);

    size_t tag = frame + 4 + (hasCrc ? 2 : 0) + sideInformation;
    if (bytes.size() < tag + 8)
        return std::nullopt;
    std::string_view name = bytes.substr(tag, 4);
    if (name != "Xing" && name != "Info")
        return std::nullopt;
    uint32_t flags = bigEndian32(bytes, tag + 4);
    size_t field = tag + 8;
    if (!(flags & 0x1))
        return std::nullopt; // without a frame count the end is unknown
    if (bytes.size() < field + 4)
        return std::nullopt;
    result.frames = static_cast<long>(bigEndian32(bytes, field));
    field += 4;
    if (flags & 0x2)
        field += 4; // byte count
    if (flags & 0x4)
        field += 100; // seek table
    if (flags & 0x8)
        field += 4; // quality

    // The LAME extension: a 9-character encoder name, then at offset 21 the
    // delay and the padding, 12 bits each.
    size_t lame = field;
    if (bytes.size() < lame + 24)
        return std::nullopt;
    std::string_view encoder = bytes.substr(lame, 4);
    if (encoder != "LAME" && encoder != "Lavc" && encoder != "Lavf" && encoder != "L3.9" && encoder != "GOGO")
        return std::nullopt;
    uint32_t delayAndPadding = byteAt(bytes, lame + 21) << 16 | byteAt(bytes, lame + 22) << 8 | byteAt(bytes, lame + 23);
    result.encoderDelay = static_cast<int>(delayAndPadding >> 12);
    result.padding = static_cast<int>(delayAndPadding & 0xFFF);
    return result;
}

std::optional<platform::SampleRange> mp3RealSamples(std::string_view fileBytes)
{
    auto header = readLameHeader(fileBytes);
    if (!header || header->frames <= 0)
        return std::nullopt;
    int64_t decoded = static_cast<int64_t>(header->frames) * header->samplesPerFrame;
    int64_t first = header->encoderDelay + kMp3DecoderDelay;
    // The decoder's own delay pushes the last real sample later too, but never
    // past what it decodes.
    int64_t end = decoded - header->padding + kMp3DecoderDelay;
    if (end > decoded)
        end = decoded;
    if (end <= first)
        return std::nullopt;
    return platform::SampleRange { first, end, header->sampleRate };
}

}
