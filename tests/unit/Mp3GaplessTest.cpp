// Reading an MP3's LAME header from bytes built here: where the real samples
// of the decoded track lie.

#include "music/Mp3Gapless.h"

#include <gtest/gtest.h>

#include <string>

namespace qvz {
namespace {

struct FrameShape {
    unsigned char versionBits = 3; // MPEG-1
    bool crc = false;
    bool mono = false;
    unsigned char rateIndex = 0;
    const char* tag = "Info";
    unsigned flags = 0x1 | 0x2 | 0x4 | 0x8;
    unsigned frames = 40;
    const char* encoder = "LAME3.100";
    int delay = 576;
    int padding = 1404;
    std::string id3;
};

std::string bigEndian(unsigned value)
{
    return { char(value >> 24), char(value >> 16 & 0xFF), char(value >> 8 & 0xFF), char(value & 0xFF) };
}

// The first frame of a file as an encoder writes it, with the fields the test names.
std::string firstFrame(const FrameShape& shape)
{
    std::string bytes = shape.id3;
    unsigned char b1 = 0xE0 | shape.versionBits << 3 | 1 << 1 | (shape.crc ? 0 : 1);
    unsigned char b2 = 9 << 4 | shape.rateIndex << 2;
    unsigned char b3 = shape.mono ? 0xC0 : 0x00;
    bytes += { char(0xFF), char(b1), char(b2), char(b3) };
    if (shape.crc)
        bytes += std::string(2, '\0');
    bool mpeg1 = shape.versionBits == 3;
    bytes += std::string(mpeg1 ? (shape.mono ? 17 : 32) : (shape.mono ? 9 : 17), '\0');
    bytes += shape.tag;
    bytes += bigEndian(shape.flags);
    if (shape.flags & 0x1)
        bytes += bigEndian(shape.frames);
    if (shape.flags & 0x2)
        bytes += bigEndian(123456);
    if (shape.flags & 0x4)
        bytes += std::string(100, '\x01');
    if (shape.flags & 0x8)
        bytes += bigEndian(57);
    std::string lame = shape.encoder;
    lame.resize(21, '\0');
    lame += { char(shape.delay >> 4), char((shape.delay & 0xF) << 4 | shape.padding >> 8), char(shape.padding & 0xFF) };
    bytes += lame;
    bytes += std::string(200, '\0');
    return bytes;
}

std::string id3Tag(unsigned size)
{
    std::string tag = "ID3";
    tag += { 4, 0, 0, char(size >> 21 & 0x7F), char(size >> 14 & 0x7F), char(size >> 7 & 0x7F), char(size & 0x7F) };
    return tag + std::string(size, 'T');
}

TEST(Mp3RealSamples, FromTheLameHeader)
{
    struct Case {
        const char* name;
        FrameShape shape;
        bool found;
        int64_t first;
        int64_t end;
        int rate;
    };
    auto with = [](auto change) {
        FrameShape shape;
        change(shape);
        return shape;
    };
    const std::vector<Case> cases {
        // 40 frames of 1152 samples hold 1 s at 44.1 kHz plus 576 + 1404 samples.
        { "one-second-lame", FrameShape {}, true, 576 + 529, 46080 - 1404 + 529, 44100 },
        { "xing-tag", with([](auto& s) { s.tag = "Xing"; }), true, 1105, 45205, 44100 },
        { "after-id3v2", with([](auto& s) { s.id3 = id3Tag(300); }), true, 1105, 45205, 44100 },
        { "mono-48k", with([](auto& s) { s.mono = true; s.rateIndex = 1; }), true, 1105, 45205, 48000 },
        { "with-crc", with([](auto& s) { s.crc = true; }), true, 1105, 45205, 44100 },
        { "only-frame-count", with([](auto& s) { s.flags = 0x1; }), true, 1105, 45205, 44100 },
        { "mpeg2-22k", with([](auto& s) { s.versionBits = 2; s.frames = 80; }), true, 1105, 80 * 576 - 1404 + 529, 22050 },
        { "ffmpeg-encoder-name", with([](auto& s) { s.encoder = "Lavc59.37"; }), true, 1105, 45205, 44100 },
        { "padding-under-decoder-delay", with([](auto& s) { s.padding = 100; }), true, 1105, 46080, 44100 },
        { "no-frame-count", with([](auto& s) { s.flags = 0x2; }), false, 0, 0, 0 },
        { "no-lame-extension", with([](auto& s) { s.encoder = "\0\0\0\0"; }), false, 0, 0, 0 },
        { "vbri-or-other-tag", with([](auto& s) { s.tag = "VBRI"; }), false, 0, 0, 0 },
        { "layer-two", with([](auto& s) { s.versionBits = 1; }), false, 0, 0, 0 },
        { "no-frames-at-all", with([](auto& s) { s.frames = 0; }), false, 0, 0, 0 },
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        auto range = music::mp3RealSamples(firstFrame(row.shape));
        ASSERT_EQ(range.has_value(), row.found);
        if (!range)
            continue;
        EXPECT_EQ(range->first, row.first);
        EXPECT_EQ(range->end, row.end);
        EXPECT_EQ(range->sampleRate, row.rate);
    }
}

TEST(Mp3RealSamples, NotAnMp3)
{
    const std::vector<std::pair<const char*, std::string>> cases {
        { "empty", "" },
        { "ogg", "OggS\0\x02" + std::string(100, '\0') },
        { "wav", "RIFF\x24\0\0\0WAVEfmt " },
        { "id3-only", id3Tag(20) },
        { "id3-size-past-the-end", "ID3\x04\0\0\x7F\x7F\x7F\x7F" },
        { "cut-inside-the-tag", firstFrame(FrameShape {}).substr(0, 60) },
        { "cut-inside-the-lame-extension", firstFrame(FrameShape {}).substr(0, 4 + 32 + 8 + 12 + 100 + 4 + 10) },
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_FALSE(music::mp3RealSamples(bytes).has_value()) << name;
}

}
}
