// Fuzzes the splash picture's loading path: the check made when the file is
// loaded, then decoding for windows of several sizes, as the splash does once
// its size is known. Any input must either decode or be refused with a
// JpegError; crashes, sanitizer reports, leaks, long runs and large memory
// use are findings.

#include "startup/JpegPicture.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        qvz::checkJpeg(bytes);
    } catch (const qvz::JpegError&) {
        return 0;
    }
    for (auto [width, height] : { std::pair { 300, 250 }, { 1, 1 }, { 37, 4096 } }) {
        try {
            auto picture = qvz::decodeJpeg(bytes, width, height);
            if (picture.width > width || picture.height > height
                || picture.pixels.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
                __builtin_trap();
        } catch (const qvz::JpegError&) {
        }
    }
    return 0;
}
