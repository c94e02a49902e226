#include "startup/LaunchSettings.h"

#include <array>

namespace qvz {

namespace {

// The reader's buffer on Windows holds 2048 bytes including the terminator, and
// menus are written against that limit.
constexpr size_t kMaxValueBytes = 2047;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v';
}

// A NUL byte counts as a line end so that no value, and therefore no path or
// caption built from one, can carry an embedded NUL into C interfaces.
bool isLineEnd(char c)
{
    return c == '\n' || c == '\r' || c == '\0';
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

std::string_view trimLeadingBlanks(std::string_view text)
{
    size_t start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    return text.substr(start);
}

std::string_view trimBlanks(std::string_view text)
{
    text = trimLeadingBlanks(text);
    size_t end = text.size();
    while (end > 0 && isBlank(text[end - 1]))
        --end;
    return text.substr(0, end);
}

std::string_view withoutEnclosingQuotes(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        unsigned char secondLow = 0x80;
        unsigned char secondHigh = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                secondLow = 0xA0;
            if (lead == 0xED)
                secondHigh = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                secondLow = 0x90;
            if (lead == 0xF4)
                secondHigh = 0x8F;
        } else {
            return false;
        }
        if (text.size() - i < length)
            return false;
        auto second = static_cast<unsigned char>(text[i + 1]);
        if (second < secondLow || second > secondHigh)
            return false;
        for (size_t k = 2; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

// Code points of Windows-1252 bytes 0x80 to 0x9F. The five bytes the code page
// leaves undefined keep their own value, as Windows' own conversion does.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::string windows1252ToUtf8(std::string_view text)
{
    std::string utf8;
    utf8.reserve(text.size() * 2);
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        char32_t codePoint = (byte >= 0x80 && byte <= 0x9F) ? kWindows1252High[byte - 0x80] : byte;
        if (codePoint < 0x80) {
            utf8 += static_cast<char>(codePoint);
        } else if (codePoint < 0x800) {
            utf8 += static_cast<char>(0xC0 | (codePoint >> 6));
            utf8 += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (codePoint >> 12));
            utf8 += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (codePoint & 0x3F));
        }
    }
    return utf8;
}

std::string valueFromRawText(std::string_view rawText)
{
    std::string_view text = withoutEnclosingQuotes(trimBlanks(rawText));
    bool utf8 = isValidUtf8(text);
    // Each input byte gives at least one output byte, so one byte beyond the
    // limit is enough to know where the cut falls; the rest of a huge value is
    // never copied.
    text = text.substr(0, kMaxValueBytes + 1);
    std::string value = utf8 ? std::string(text) : windows1252ToUtf8(text);
    if (value.size() > kMaxValueBytes) {
        size_t cut = kMaxValueBytes;
        while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80)
            --cut;
        value.resize(cut);
    }
    return value;
}

// The name inside "[...]": up to the first "]", or to the end of the line when
// it is missing, without blanks at either end.
std::string_view sectionName(std::string_view headerLine)
{
    std::string_view name = headerLine.substr(1);
    return trimBlanks(name.substr(0, name.find(']')));
}

std::optional<int32_t> parseHexadecimal(std::string_view digits, bool negative)
{
    if (digits.empty())
        return std::nullopt;
    uint32_t pattern = 0;
    for (char c : digits) {
        uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else
            return std::nullopt;
        // A ninth significant digit no longer fits in 32 bits.
        if (pattern > 0x0FFFFFFFu)
            return std::nullopt;
        pattern = (pattern << 4) | digit;
    }
    if (negative)
        pattern = 0u - pattern;
    return static_cast<int32_t>(pattern);
}

std::optional<int32_t> parseDecimal(std::string_view digits, bool negative)
{
    if (digits.empty())
        return std::nullopt;
    constexpr int64_t kMagnitudeLimit = int64_t { 1 } << 31;
    int64_t magnitude = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > kMagnitudeLimit)
            return std::nullopt;
    }
    if (negative)
        return static_cast<int32_t>(-magnitude);
    if (magnitude == kMagnitudeLimit)
        return std::nullopt;
    return static_cast<int32_t>(magnitude);
}

}

std::string launchFolder(platform::FileSystem& fileSystem)
{
    std::string path = fileSystem.executablePath();
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string settingsPath(platform::FileSystem& fileSystem)
{
    return launchFolder(fileSystem) + std::string(kSettingsFileName);
}

std::string applicationTitle(std::string_view executablePath)
{
    size_t slash = executablePath.rfind('/');
    std::string_view fileName = slash == std::string_view::npos ? executablePath : executablePath.substr(slash + 1);
    std::string title(fileName.substr(0, fileName.find('.')));
    for (size_t i = 1; i < title.size(); ++i)
        title[i] = asciiLower(title[i]);
    return title;
}

std::string errorBoxText(std::string message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    return message;
}

std::optional<int32_t> parseInteger(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.starts_with('$'))
        return parseHexadecimal(text.substr(1), negative);
    // "0x" alone has no digits after its prefix and so is rejected like "$".
    if (text.starts_with("0x") || text.starts_with("0X"))
        return parseHexadecimal(text.substr(2), negative);
    return parseDecimal(text, negative);
}

std::optional<std::string> findProfileValue(
    std::string_view fileBytes, std::string_view section, std::string_view key)
{
    if (fileBytes.starts_with(kByteOrderMark))
        fileBytes.remove_prefix(kByteOrderMark.size());

    // Lines before the first section header belong to no section.
    bool inWantedSection = false;
    size_t lineStart = 0;
    while (lineStart < fileBytes.size()) {
        size_t lineEnd = lineStart;
        while (lineEnd < fileBytes.size() && !isLineEnd(fileBytes[lineEnd]))
            ++lineEnd;
        std::string_view line = trimLeadingBlanks(fileBytes.substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;

        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            // Only the first section of the wanted name is read, so the lookup
            // ends with it, whatever name the next section has.
            if (inWantedSection)
                return std::nullopt;
            inWantedSection = equalsIgnoringAsciiCase(sectionName(line), section);
            continue;
        }
        if (!inWantedSection)
            continue;
        size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        if (equalsIgnoringAsciiCase(trimBlanks(line.substr(0, equals)), key))
            return valueFromRawText(line.substr(equals + 1));
    }
    return std::nullopt;
}

SettingsReader::SettingsReader(platform::FileSystem& fileSystem, std::string path)
    : m_fileSystem(fileSystem)
    , m_path(std::move(path))
{
}

std::string SettingsReader::readString(
    std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    std::optional<std::string> fileBytes = m_fileSystem.readFile(m_path);
    if (!fileBytes)
        return std::string(defaultValue);
    std::optional<std::string> value = findProfileValue(*fileBytes, section, key);
    return value ? std::move(*value) : std::string(defaultValue);
}

int32_t SettingsReader::readInteger(std::string_view section, std::string_view key, int32_t defaultValue) const
{
    return parseInteger(readString(section, key, "")).value_or(defaultValue);
}

bool SettingsReader::readBool(std::string_view section, std::string_view key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

}
