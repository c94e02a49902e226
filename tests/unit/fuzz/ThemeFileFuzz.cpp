// Feeds arbitrary bytes to the theme file reader. Besides crashes and
// sanitizer reports, it checks what the frame relies on for every input: sizes
// within their limits and picture paths inside the launch folder.

#include "mainwindow/ThemeFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

constexpr std::string_view kFolder = "/launch/";

void checkPicture(const std::string& path)
{
    if (path.empty())
        return;
    require(path.starts_with(kFolder), "picture outside the launch folder");
    require(path.find("/../") == std::string::npos && !path.ends_with("/.."), "picture path climbs out");
    require(path.find('\0') == std::string::npos, "picture path holds a NUL");
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    qvz::Theme theme = qvz::parseThemeFile(bytes, kFolder);
    const auto& look = theme.look;
    require(look.borderWidth >= 0 && look.borderWidth <= 8, "border width out of range");
    require(look.cornerRadius >= 0 && look.cornerRadius <= 16, "corner radius out of range");
    require(look.captionPixelHeight >= 6 && look.captionPixelHeight <= 28, "caption size out of range");
    require(theme.minimum.width > 0 && theme.minimum.height > 0, "minimum size not positive");
    require(look.captionFont.find('\0') == std::string::npos, "font name holds a NUL");
    checkPicture(look.pictures.left);
    checkPicture(look.pictures.middle);
    checkPicture(look.pictures.right);
    for (const auto& states : look.pictures.buttons) {
        for (const auto& path : states)
            checkPicture(path);
    }
    qvz::parseColour(bytes);
    return 0;
}
