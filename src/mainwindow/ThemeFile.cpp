#include "mainwindow/ThemeFile.h"

#include <charconv>
#include <vector>

namespace qvz {

namespace {

using platform::ButtonShape;
using platform::ButtonState;
using platform::Colour;
using platform::TitleButton;
using platform::TitleFinish;

// Limits that keep a mistyped number from making the frame unusable.
constexpr int kMaxBorderWidth = 8;
constexpr int kMaxCornerRadius = 16;
constexpr int kMinCaptionHeight = 6;
constexpr int kMaxCaptionHeight = 28;
constexpr int kMaxWindowSide = 16384;
constexpr size_t kMaxTextValue = 255;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r' || c == '\0';
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = asciiLower(c);
    return result;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view unquoted(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::optional<int> parseNumber(std::string_view text, int lowest, int highest)
{
    text = trimmed(text);
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    if (value < lowest || value > highest)
        return std::nullopt;
    return value;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = asciiLower(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<bool> parseSwitch(std::string_view text)
{
    std::string word = lowered(trimmed(text));
    if (word == "yes" || word == "true" || word == "on" || word == "1")
        return true;
    if (word == "no" || word == "false" || word == "off" || word == "0")
        return false;
    return std::nullopt;
}

std::optional<TitleFinish> parseFinish(std::string_view text)
{
    std::string word = lowered(trimmed(text));
    if (word == "flat")
        return TitleFinish::Flat;
    if (word == "gradient")
        return TitleFinish::Gradient;
    if (word == "brushed")
        return TitleFinish::Brushed;
    if (word == "glossy")
        return TitleFinish::Glossy;
    if (word == "organic")
        return TitleFinish::Organic;
    return std::nullopt;
}

std::optional<ButtonShape> parseShape(std::string_view text)
{
    std::string word = lowered(trimmed(text));
    if (word == "square")
        return ButtonShape::Square;
    if (word == "rounded")
        return ButtonShape::Rounded;
    if (word == "round")
        return ButtonShape::Round;
    return std::nullopt;
}

// "640 x 400", "640x400" or "640, 400".
std::optional<MinimumSize> parseSize(std::string_view text)
{
    std::string value = lowered(text);
    size_t separator = value.find_first_of("x,");
    if (separator == std::string::npos)
        return std::nullopt;
    auto width = parseNumber(std::string_view(value).substr(0, separator), 1, kMaxWindowSide);
    auto height = parseNumber(std::string_view(value).substr(separator + 1), 1, kMaxWindowSide);
    if (!width || !height)
        return std::nullopt;
    return MinimumSize { *width, *height };
}

// Text that goes to the font machinery: printable, not too long.
std::optional<std::string> parseText(std::string_view text)
{
    if (text.empty() || text.size() > kMaxTextValue)
        return std::nullopt;
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return std::nullopt;
    }
    return std::string(text);
}

// A picture named relative to the launch folder. Windows authors write "\",
// which becomes "/"; a name that tries to leave the folder or is absolute is
// refused, so a theme on a disc cannot point at files elsewhere.
std::optional<std::string> parsePicture(std::string_view text, std::string_view launchFolder)
{
    auto name = parseText(text);
    if (!name)
        return std::nullopt;
    for (char& c : *name) {
        if (c == '\\')
            c = '/';
    }
    if (name->front() == '/' || name->find(':') != std::string::npos)
        return std::nullopt;
    size_t start = 0;
    while (start <= name->size()) {
        size_t end = name->find('/', start);
        if (end == std::string::npos)
            end = name->size();
        std::string_view part = std::string_view(*name).substr(start, end - start);
        if (part == "..")
            return std::nullopt;
        start = end + 1;
    }
    return std::string(launchFolder) + *name;
}

struct ThemeReader {
    Theme theme;
    std::string_view launchFolder;
    bool closeSet = false;
    bool maximizeSet = false;
    bool minimizeSet = false;
    bool titleBottomSet = false;

    void setColour(Colour& target, std::string_view value, bool* seen = nullptr)
    {
        if (auto colour = parseColour(value)) {
            target = *colour;
            if (seen)
                *seen = true;
        }
    }

    void setPicture(std::string& target, std::string_view value)
    {
        if (auto path = parsePicture(value, launchFolder))
            target = *path;
    }

    bool buttonPicture(std::string_view key, std::string_view value)
    {
        static constexpr std::pair<std::string_view, TitleButton> kButtons[] {
            { "control-box-", TitleButton::ControlBox },
            { "close-", TitleButton::Close },
            { "maximize-", TitleButton::Maximize },
            { "minimize-", TitleButton::Minimize },
        };
        static constexpr std::pair<std::string_view, ButtonState> kStates[] {
            { "normal", ButtonState::Normal },
            { "hover", ButtonState::Hover },
            { "pressed", ButtonState::Pressed },
        };
        for (auto [prefix, button] : kButtons) {
            if (!key.starts_with(prefix))
                continue;
            for (auto [suffix, state] : kStates) {
                if (key.substr(prefix.size()) == suffix) {
                    setPicture(theme.look.pictures.buttons[static_cast<size_t>(button)][static_cast<size_t>(state)], value);
                    return true;
                }
            }
        }
        return false;
    }

    void apply(std::string key, std::string_view value)
    {
        // Both spellings of "colour" are welcome.
        if (size_t at = key.find("color"); at != std::string::npos)
            key.replace(at, 5, "colour");
        auto& look = theme.look;
        if (key == "border")
            setColour(look.border, value);
        else if (key == "border-width") {
            if (auto width = parseNumber(value, 0, kMaxBorderWidth))
                look.borderWidth = *width;
        } else if (key == "face")
            setColour(look.face, value);
        else if (key == "title-top")
            setColour(look.titleTop, value);
        else if (key == "title-bottom")
            setColour(look.titleBottom, value, &titleBottomSet);
        else if (key == "title-finish") {
            if (auto finish = parseFinish(value))
                look.titleFinish = *finish;
        } else if (key == "corner-radius") {
            if (auto radius = parseNumber(value, 0, kMaxCornerRadius))
                look.cornerRadius = *radius;
        } else if (key == "caption-font") {
            if (auto font = parseText(value))
                look.captionFont = *font;
        } else if (key == "caption-size") {
            if (auto size = parseNumber(value, kMinCaptionHeight, kMaxCaptionHeight))
                look.captionPixelHeight = *size;
        } else if (key == "caption-bold") {
            if (auto bold = parseSwitch(value))
                look.captionBold = *bold;
        } else if (key == "caption-colour")
            setColour(look.captionColour, value);
        else if (key == "button-shape") {
            if (auto shape = parseShape(value))
                look.buttonShape = *shape;
        } else if (key == "button-face")
            setColour(look.buttonFace, value);
        else if (key == "button-symbol")
            setColour(look.buttonSymbol, value);
        else if (key == "close-face")
            setColour(look.closeFace, value, &closeSet);
        else if (key == "maximize-face")
            setColour(look.maximizeFace, value, &maximizeSet);
        else if (key == "minimize-face")
            setColour(look.minimizeFace, value, &minimizeSet);
        else if (key == "minimum-size") {
            if (auto size = parseSize(value))
                theme.minimum = *size;
        } else if (key == "title-left")
            setPicture(look.pictures.left, value);
        else if (key == "title-middle")
            setPicture(look.pictures.middle, value);
        else if (key == "title-right")
            setPicture(look.pictures.right, value);
        else
            buttonPicture(key, value);
    }

    // Colours the file leaves out follow the ones it gives, so a theme that
    // sets only "button-face" gets matching close, maximise and minimise
    // buttons, and one that sets only "title-top" a flat bar of that colour.
    void finish()
    {
        auto& look = theme.look;
        if (!titleBottomSet)
            look.titleBottom = look.titleTop;
        if (!closeSet)
            look.closeFace = look.buttonFace;
        if (!maximizeSet)
            look.maximizeFace = look.buttonFace;
        if (!minimizeSet)
            look.minimizeFace = look.buttonFace;
    }
};

}

std::optional<Colour> parseColour(std::string_view text)
{
    text = trimmed(text);
    if (text.starts_with('#')) {
        std::string_view digits = text.substr(1);
        if (digits.size() != 3 && digits.size() != 6 && digits.size() != 8)
            return std::nullopt;
        std::vector<int> values;
        for (char c : digits) {
            int value = hexDigit(c);
            if (value < 0)
                return std::nullopt;
            values.push_back(value);
        }
        auto channel = [&](size_t index) {
            if (digits.size() == 3)
                return static_cast<uint8_t>(values[index] * 17);
            return static_cast<uint8_t>(values[2 * index] * 16 + values[2 * index + 1]);
        };
        Colour colour { channel(0), channel(1), channel(2), 255 };
        if (digits.size() == 8)
            colour.alpha = channel(3);
        return colour;
    }
    int channels[3];
    for (int index = 0; index < 3; ++index) {
        size_t comma = text.find(',');
        if ((comma == std::string_view::npos) != (index == 2))
            return std::nullopt;
        auto value = parseNumber(text.substr(0, comma), 0, 255);
        if (!value)
            return std::nullopt;
        channels[index] = *value;
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return Colour { static_cast<uint8_t>(channels[0]), static_cast<uint8_t>(channels[1]),
        static_cast<uint8_t>(channels[2]), 255 };
}

Theme parseThemeFile(std::string_view fileBytes, std::string_view launchFolder)
{
    ThemeReader reader { { builtInLook(UIStyle::FromThemeFile), minimumSize(UIStyle::FromThemeFile) }, launchFolder };
    if (fileBytes.starts_with("\xEF\xBB\xBF"))
        fileBytes.remove_prefix(3);
    while (!fileBytes.empty()) {
        size_t end = 0;
        while (end < fileBytes.size() && !isLineEnd(fileBytes[end]))
            ++end;
        std::string_view line = trimmed(fileBytes.substr(0, end));
        fileBytes.remove_prefix(end < fileBytes.size() ? end + 1 : end);
        if (line.empty() || line.front() == '#' || line.front() == ';' || line.front() == '[')
            continue;
        size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        std::string key = lowered(trimmed(line.substr(0, equals)));
        std::string_view value = unquoted(trimmed(line.substr(equals + 1)));
        reader.apply(std::move(key), value);
    }
    reader.finish();
    return reader.theme;
}

}
