// Feeds arbitrary bytes to the settings-file reader and the integer
// conversion. Besides crashes and sanitizer reports, it checks what must hold
// for every input: a value is valid UTF-8, fits the 2047-byte limit and holds
// no line end or NUL; an accepted integer survives a round trip through its
// decimal and hexadecimal spellings.

#include "startup/LaunchSettings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
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

// Decodes each sequence and checks its code point range, independently of the
// reader's own validation.
bool isStrictUtf8(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        char32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        constexpr char32_t kSmallest[] = { 0, 0, 0x80, 0x800, 0x10000 };
        if (codePoint < kSmallest[length] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

void checkInteger(std::string_view text)
{
    std::optional<int32_t> value = qvz::parseInteger(text);
    if (!value)
        return;
    require(qvz::parseInteger(std::to_string(*value)) == value, "decimal round trip");
    char hex[16];
    std::snprintf(hex, sizeof hex, "$%X", static_cast<unsigned>(*value));
    require(qvz::parseInteger(hex) == value, "hexadecimal round trip");
}

void checkValue(const std::optional<std::string>& value)
{
    if (!value)
        return;
    require(value->size() <= 2047, "value longer than 2047 bytes");
    require(isStrictUtf8(*value), "value is not UTF-8");
    require(value->find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos, "line end or NUL in value");
    checkInteger(*value);
}

struct Lookup {
    std::string_view section;
    std::string_view key;
};

// Names the program really asks for, plus forms that only case-insensitive
// matching and bracket trimming can find.
constexpr Lookup kLookups[] = {
    { "form", "UseSplash" },
    { "FORM", "caption" },
    { "form", "musicfile" },
    { "autorun", "open" },
    { "", "" },
};

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);

    for (const Lookup& lookup : kLookups)
        checkValue(qvz::findProfileValue(input, lookup.section, lookup.key));

    // Names taken from the input itself, so the fuzzer can reach matches of
    // arbitrary bytes: the first byte gives the section name's length in its
    // low half and the key name's length in its high half.
    if (!input.empty()) {
        auto lengths = static_cast<unsigned char>(input[0]);
        std::string_view rest = input.substr(1);
        std::string_view section = rest.substr(0, lengths & 0x0F);
        rest.remove_prefix(section.size());
        std::string_view key = rest.substr(0, lengths >> 4);
        rest.remove_prefix(key.size());
        checkValue(qvz::findProfileValue(rest, section, key));
    }

    checkInteger(input);
    return 0;
}
