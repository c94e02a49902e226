// The theme file reader: what a menu author writes and what the frame gets.

#include "mainwindow/ThemeFile.h"

#include <gtest/gtest.h>

#include <functional>

namespace qvz {
namespace {

using platform::ButtonShape;
using platform::ButtonState;
using platform::Colour;
using platform::FrameLook;
using platform::TitleButton;
using platform::TitleFinish;

constexpr std::string_view kFolder = "/media/disc/";

TEST(ThemeFile, ColoursInEveryAcceptedSpelling)
{
    struct ColourCase {
        const char* text;
        std::optional<Colour> colour;
    };
    const ColourCase cases[] {
        { "#1a2B3c", Colour { 0x1a, 0x2b, 0x3c, 255 } },
        { "#abc", Colour { 0xaa, 0xbb, 0xcc, 255 } },
        { "#11223380", Colour { 0x11, 0x22, 0x33, 0x80 } },
        { " 10, 20 ,30 ", Colour { 10, 20, 30, 255 } },
        { "255,255,255", Colour { 255, 255, 255, 255 } },
        { "256,0,0", std::nullopt },
        { "-1,0,0", std::nullopt },
        { "1,2", std::nullopt },
        { "1,2,3,4", std::nullopt },
        { "#12345", std::nullopt },
        { "#ggg", std::nullopt },
        { "#", std::nullopt },
        { "red", std::nullopt },
        { "", std::nullopt },
    };
    for (const auto& row : cases)
        EXPECT_EQ(parseColour(row.text), row.colour) << "'" << row.text << "'";
}

TEST(ThemeFile, EachSettingReachesTheLook)
{
    struct SettingCase {
        const char* name;
        const char* file;
        std::function<bool(const Theme&)> holds;
    };
    const SettingCase cases[] {
        { "border colour", "border = #ff0000", [](const Theme& t) { return t.look.border == Colour { 255, 0, 0, 255 }; } },
        { "border width", "border-width = 3", [](const Theme& t) { return t.look.borderWidth == 3; } },
        { "border width beyond the limit is ignored", "border-width = 50", [](const Theme& t) { return t.look.borderWidth == 1; } },
        { "client colour", "face = 1,2,3", [](const Theme& t) { return t.look.face == Colour { 1, 2, 3, 255 }; } },
        { "title colours", "title-top = #000010\ntitle-bottom = #000020",
            [](const Theme& t) { return t.look.titleTop.blue == 16 && t.look.titleBottom.blue == 32; } },
        { "title top alone gives a bottom to match", "title-top = #000010",
            [](const Theme& t) { return t.look.titleBottom.blue == 16; } },
        { "finish", "title-finish = Glossy", [](const Theme& t) { return t.look.titleFinish == TitleFinish::Glossy; } },
        { "unknown finish is ignored", "title-finish = shiny", [](const Theme& t) { return t.look.titleFinish == TitleFinish::Flat; } },
        { "corner radius", "corner-radius = 8", [](const Theme& t) { return t.look.cornerRadius == 8; } },
        { "caption font", "caption-font = DejaVu Serif", [](const Theme& t) { return t.look.captionFont == "DejaVu Serif"; } },
        { "caption size", "caption-size = 14", [](const Theme& t) { return t.look.captionPixelHeight == 14; } },
        { "caption size too small is ignored", "caption-size = 2", [](const Theme& t) { return t.look.captionPixelHeight == 11; } },
        { "caption not bold", "caption-bold = no", [](const Theme& t) { return !t.look.captionBold; } },
        { "caption colour, American spelling", "caption-color = #000000",
            [](const Theme& t) { return t.look.captionColour == Colour { 0, 0, 0, 255 }; } },
        { "button shape", "button-shape = round", [](const Theme& t) { return t.look.buttonShape == ButtonShape::Round; } },
        { "button face alone colours all buttons", "button-face = #010203",
            [](const Theme& t) {
                Colour c { 1, 2, 3, 255 };
                return t.look.closeFace == c && t.look.maximizeFace == c && t.look.minimizeFace == c;
            } },
        { "close face of its own", "button-face = #010203\nclose-face = #ff0000",
            [](const Theme& t) { return t.look.closeFace.red == 255 && t.look.maximizeFace.red == 1; } },
        { "minimum size", "minimum-size = 400 x 300", [](const Theme& t) { return t.minimum.width == 400 && t.minimum.height == 300; } },
        { "minimum size with a comma", "minimum-size = 400,300", [](const Theme& t) { return t.minimum.width == 400; } },
        { "minimum size of zero is ignored", "minimum-size = 0x300",
            [](const Theme& t) { return t.minimum.width == minimumSize(UIStyle::FromThemeFile).width; } },
        { "keys ignore letter case", "TITLE-TOP = #000010", [](const Theme& t) { return t.look.titleTop.blue == 16; } },
        { "values may be quoted", "caption-font = \"Sans Bold\"", [](const Theme& t) { return t.look.captionFont == "Sans Bold"; } },
        { "the last of a repeated key wins", "border-width = 2\nborder-width = 4", [](const Theme& t) { return t.look.borderWidth == 4; } },
        { "comments and sections are skipped", "# border-width = 2\n; border-width = 3\n[theme]\nborder-width = 5",
            [](const Theme& t) { return t.look.borderWidth == 5; } },
        { "CRLF lines and a byte-order mark", "\xEF\xBB\xBF" "border-width = 2\r\nface = #000000\r\n",
            [](const Theme& t) { return t.look.borderWidth == 2 && t.look.face == Colour { 0, 0, 0, 255 }; } },
    };
    for (const auto& row : cases)
        EXPECT_TRUE(row.holds(parseThemeFile(row.file, kFolder))) << row.name;
}

TEST(ThemeFile, PicturesAreNamedRelativeToTheLaunchFolder)
{
    struct PictureCase {
        const char* line;
        std::function<const std::string&(const FrameLook&)> field;
        const char* path; // "" when refused
    };
    auto left = [](const FrameLook& l) -> const std::string& { return l.pictures.left; };
    auto closeHover = [](const FrameLook& l) -> const std::string& {
        return l.pictures.buttons[static_cast<size_t>(TitleButton::Close)][static_cast<size_t>(ButtonState::Hover)];
    };
    auto boxPressed = [](const FrameLook& l) -> const std::string& {
        return l.pictures.buttons[static_cast<size_t>(TitleButton::ControlBox)][static_cast<size_t>(ButtonState::Pressed)];
    };
    const PictureCase cases[] {
        { "title-left = left.png", left, "/media/disc/left.png" },
        { "title-left = theme\\left.png", left, "/media/disc/theme/left.png" },
        { "title-left = /etc/passwd", left, "" },
        { "title-left = ../outside.png", left, "" },
        { "title-left = a/../../outside.png", left, "" },
        { "title-left = C:\\left.png", left, "" },
        { "title-left = ..hidden.png", left, "/media/disc/..hidden.png" },
        { "close-hover = pics/close-hover.png", closeHover, "/media/disc/pics/close-hover.png" },
        { "control-box-pressed = box.png", boxPressed, "/media/disc/box.png" },
        { "close-glowing = x.png", closeHover, "" },
    };
    for (const auto& row : cases)
        EXPECT_EQ(row.field(parseThemeFile(row.line, kFolder).look), row.path) << row.line;
}

TEST(ThemeFile, WhatCannotBeReadKeepsTheNeutralLook)
{
    const Theme neutral { builtInLook(UIStyle::FromThemeFile), minimumSize(UIStyle::FromThemeFile) };
    const std::pair<const char*, std::string> cases[] {
        { "empty file", "" },
        { "only blanks and line ends", "  \n\r\n\t\n" },
        { "garbage bytes", std::string("\x00\xff\xfe=\x01=\n==\x80\x81", 12) },
        { "keys without values", "border\nface=\ntitle-top\n" },
        { "unknown keys", "colour-of-the-day = #ff0000\n" },
        { "truncated in the middle of a value", "title-top = #12" },
    };
    for (const auto& [name, file] : cases) {
        Theme theme = parseThemeFile(file, kFolder);
        EXPECT_EQ(theme.look, neutral.look) << name;
        EXPECT_EQ(theme.minimum.width, neutral.minimum.width) << name;
        EXPECT_EQ(theme.minimum.height, neutral.minimum.height) << name;
    }
}

TEST(ThemeFile, APartialFileKeepsWhatItCouldRead)
{
    Theme theme = parseThemeFile("title-top = #336699\nborder-width = 2\ntitle-bottom = #33", kFolder);
    EXPECT_EQ(theme.look.titleTop, (Colour { 0x33, 0x66, 0x99, 255 }));
    EXPECT_EQ(theme.look.borderWidth, 2);
    EXPECT_EQ(theme.look.titleBottom, theme.look.titleTop) << "the unreadable bottom colour follows the top one";
}

}
}
