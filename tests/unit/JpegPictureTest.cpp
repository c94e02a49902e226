// The splash picture decoder against pictures of every kind a menu author may
// drop in, and against damaged and lying files: what comes out, what is
// refused with which of libjpeg's errors, and that only the window's part of a
// large picture is decoded.

#include "fixtures/JpegFixtures.h"
#include "startup/JpegPicture.h"

#include <jerror.h>

#include <gtest/gtest.h>

#include <optional>

namespace qvz {
namespace {

using testing::JpegKind;
using testing::makeJpeg;
using testing::patternGreen;
using testing::patternRed;
using testing::pngBytes;
using testing::withDeclaredSize;

struct Size {
    int width;
    int height;
};

struct DecodeCase {
    const char* name;
    std::string bytes;
    Size window;
    // The size decoded, or the libjpeg message number it is refused with.
    std::optional<Size> decoded;
    int error = 0;
};

std::vector<DecodeCase> decodeCases()
{
    std::string baseline = makeJpeg(64, 48);
    return {
        { "baseline smaller than the window", baseline, { 300, 250 }, Size { 64, 48 } },
        { "baseline cropped to the window", baseline, { 20, 10 }, Size { 20, 10 } },
        { "progressive", makeJpeg(64, 48, 3, JpegKind::Progressive), { 300, 250 }, Size { 64, 48 } },
        { "progressive cropped", makeJpeg(64, 48, 3, JpegKind::Progressive), { 33, 17 }, Size { 33, 17 } },
        { "grey", makeJpeg(40, 30, 1), { 300, 250 }, Size { 40, 30 } },
        { "cmyk", makeJpeg(40, 30, 4), { 300, 250 }, Size { 40, 30 } },
        { "one pixel", makeJpeg(1, 1), { 300, 250 }, Size { 1, 1 } },
        { "truncated in its data shows what is there", baseline.substr(0, baseline.size() / 2), { 300, 250 }, Size { 64, 48 } },
        { "oversized declared, baseline", withDeclaredSize(makeJpeg(64, 48), 60000, 60000), { 640, 480 }, Size { 640, 480 } },
        { "oversized declared, progressive", withDeclaredSize(makeJpeg(64, 48, 3, JpegKind::Progressive), 60000, 60000),
            { 640, 480 }, std::nullopt, JERR_NO_BACKING_STORE },
        { "zero bytes", "", { 300, 250 }, std::nullopt, JERR_INPUT_EMPTY },
        { "png renamed", pngBytes(), { 300, 250 }, std::nullopt, JERR_NO_SOI },
        { "text file", "[form]\nUseSplash=1\n", { 300, 250 }, std::nullopt, JERR_NO_SOI },
        { "truncated in its header", baseline.substr(0, 40), { 300, 250 }, std::nullopt, JERR_NO_IMAGE },
    };
}

TEST(JpegPicture, DecodesWhatTheWindowShowsOrRefusesWithLibjpegsError)
{
    for (const auto& test : decodeCases()) {
        SCOPED_TRACE(test.name);
        if (test.decoded) {
            platform::Picture picture;
            ASSERT_NO_THROW(checkJpeg(test.bytes));
            ASSERT_NO_THROW(picture = decodeJpeg(test.bytes, test.window.width, test.window.height));
            EXPECT_EQ(picture.width, test.decoded->width);
            EXPECT_EQ(picture.height, test.decoded->height);
            EXPECT_EQ(picture.pixels.size(), size_t(picture.width) * size_t(picture.height));
        } else {
            try {
                checkJpeg(test.bytes);
                decodeJpeg(test.bytes, test.window.width, test.window.height);
                ADD_FAILURE() << "no error";
            } catch (const JpegError& error) {
                EXPECT_EQ(error.messageCode(), test.error);
                EXPECT_EQ(std::string(error.what()), "JPEG error #" + std::to_string(test.error));
            }
        }
    }
}

// Colours survive decoding (JPEG is lossy: within a small tolerance), and the
// crop keeps the picture's top-left part in place.
TEST(JpegPicture, PixelsComeOutAsRgbFromTheTopLeftCorner)
{
    struct ColourCase {
        const char* name;
        std::string bytes;
        bool grey;
    };
    const ColourCase cases[] = {
        { "colour, cropped", makeJpeg(128, 96), false },
        { "progressive, cropped", makeJpeg(128, 96, 3, JpegKind::Progressive), false },
        { "cmyk, cropped", makeJpeg(128, 96, 4), false },
        { "grey, cropped", makeJpeg(128, 96, 1), true },
    };
    auto near = [](int actual, int expected) { return std::abs(actual - expected) <= 12; };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        auto picture = decodeJpeg(test.bytes, 37, 29);
        ASSERT_EQ(picture.width, 37);
        ASSERT_EQ(picture.height, 29);
        for (auto [x, y] : { std::pair { 4, 4 }, { 30, 4 }, { 4, 24 }, { 33, 26 } }) {
            uint32_t pixel = picture.pixels[size_t(y) * 37 + size_t(x)];
            int red = int(pixel >> 16) & 0xff, green = int(pixel >> 8) & 0xff, blue = int(pixel) & 0xff;
            EXPECT_TRUE(near(red, patternRed(x))) << "red " << red << " at " << x << "," << y;
            if (test.grey) {
                EXPECT_EQ(green, red);
                EXPECT_EQ(blue, red);
            } else {
                EXPECT_TRUE(near(green, patternGreen(y))) << "green " << green << " at " << x << "," << y;
                EXPECT_TRUE(near(blue, 0x40)) << "blue " << blue << " at " << x << "," << y;
            }
        }
    }
}

}
}
