// The main window's creation handler against fakes: which settings it reads in
// which order, the size rules, the style codes and the theme file, and what a
// failure inside it leaves behind.

#include "fakes/FakeFileSystem.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeShell.h"
#include "mainwindow/TForm1.h"
#include "startup/StandardErrorBox.h"

#include <gtest/gtest.h>

#include <optional>

namespace qvz {
namespace {

using testing::CallLog;
using testing::FakeApplication;
using testing::FakeFileSystem;
using testing::FakeMainWindow;

constexpr const char* kSettings = "/menu/autorun.inf";
constexpr const char* kThemeFile = "/menu/scin.sui";

struct Form {
    CallLog log;
    FakeFileSystem files;
    FakeApplication application { log };
    testing::FakeShell shell { log };
    StandardErrorBox errorBox { application, "Qvzmenu" };
    std::optional<TForm1> form;

    FakeMainWindow& create()
    {
        form.emplace(platform::Platform { files, application, shell }, errorBox);
        return *application.mainWindow;
    }

    bool reportedAnError() const
    {
        for (const auto& call : log.calls) {
            if (call.starts_with("app.showErrorBox"))
                return true;
        }
        return false;
    }
};

// The skinned frame has no system border, so the window's size is the last
// one it was given, outer or client.
int widthOf(const FakeMainWindow& window)
{
    return window.outerWidth ? window.outerWidth : window.clientWidth;
}

int heightOf(const FakeMainWindow& window)
{
    return window.outerHeight ? window.outerHeight : window.clientHeight;
}

struct SizeCase {
    const char* name;
    const char* settings;
    int width;
    int height;
    bool maximized;
};

TEST(FormCreate, SizeFollowsTheSizeSetting)
{
    const SizeCase cases[] {
        { "no settings file", nullptr, 672, 489, false },
        { "no size key", "[form]\nCaption=x\n", 672, 489, false },
        { "Custorm without sizes", "[form]\nsize=Custorm\n", 680, 523, false },
        { "Custorm with sizes", "[form]\nsize=Custorm\nsizeW=800\nsizeh=600\n", 800, 600, false },
        { "Custorm with hexadecimal sizes", "[form]\nsize=Custorm\nsizeW=$320\nsizeh=0x200\n", 800, 512, false },
        { "Custorm below DeepBlue's minimum", "[form]\nsize=Custorm\nsizeW=10\nsizeh=-5\n", 260, 140, false },
        { "Custorm below Protein's minimum", "[form]\nsize=Custorm\nsizeW=300\nsizeh=150\nscin=Protein\n", 320, 180, false },
        { "Custorm with a size that is no number", "[form]\nsize=Custorm\nsizeW=wide\nsizeh=\n", 680, 523, false },
        { "Custom is not Custorm", "[form]\nsize=Custom\nsizeW=800\nsizeh=600\n", 672, 489, false },
        { "letter case counts", "[form]\nsize=custorm\nsizeW=800\n", 672, 489, false },
        { "Fullscreen keeps the design size", "[form]\nsize=Fullscreen\nsizeW=800\nsizeh=600\n", 672, 489, true },
        { "fullscreen in lower case does nothing", "[form]\nsize=fullscreen\n", 672, 489, false },
    };
    for (const auto& row : cases) {
        Form form;
        if (row.settings)
            form.files.setFile(kSettings, row.settings);
        FakeMainWindow& window = form.create();
        EXPECT_EQ(widthOf(window), row.width) << row.name;
        EXPECT_EQ(heightOf(window), row.height) << row.name;
        EXPECT_EQ(window.maximizedWhenShown, row.maximized) << row.name;
    }
}

// Each read of the settings file gets the value of its own key from a file
// that changes with every read; reads that get to a key other than the one
// expected see a value that changes the outcome.
TEST(FormCreate, ReadsCaptionSizeTwiceThenScinSixTimes)
{
    struct ReadCase {
        const char* name;
        // The file's contents at each read, counting from 1.
        std::string (*contents)(int read);
        int width;
        int height;
        bool maximized;
        UIStyle style;
    };
    const ReadCase cases[] {
        { "Fullscreen only at the first size read",
            [](int read) { return std::string("[form]\nsize=") + (read == 2 ? "Fullscreen" : "") + "\n"; }, 672, 489,
            true, UIStyle::DeepBlue },
        { "Custorm only at the second size read, sizes at the next two",
            [](int read) {
                return std::string("[form]\nsize=") + (read == 3 ? "Custorm" : "") + "\nsizeW=" + (read == 4 ? "700" : "1")
                    + "\nsizeh=" + (read == 5 ? "500" : "1") + "\n";
            },
            700, 500, false, UIStyle::DeepBlue },
        { "Fullscreen at the first read, so the sizes are never read",
            [](int read) {
                return std::string("[form]\nsize=") + (read == 2 ? "Fullscreen" : "Custorm") + "\nsizeW=" + (read == 4 ? "700" : "1")
                    + "\nsizeh=" + (read == 5 ? "500" : "1") + "\n";
            },
            700, 500, true, UIStyle::DeepBlue },
        { "MacOS compared at the first scin read",
            [](int read) { return std::string("[form]\nscin=") + (read == 4 ? "MacOS" : "none") + "\n"; }, 672, 489, false,
            UIStyle::MacOS },
        { "WinXP compared at the fifth scin read",
            [](int read) { return std::string("[form]\nscin=") + (read == 8 ? "WinXP" : "none") + "\n"; }, 672, 489, false,
            UIStyle::WinXP },
        { "FromThemeFile compared at the sixth scin read",
            [](int read) { return std::string("[form]\nscin=") + (read == 9 ? "FromThemeFile" : "none") + "\n"; }, 672, 489,
            false, UIStyle::FromThemeFile },
        { "WinXP at the sixth read is compared with FromThemeFile",
            [](int read) { return std::string("[form]\nscin=") + (read == 9 ? "WinXP" : "none") + "\n"; }, 672, 489, false,
            UIStyle::DeepBlue },
        { "the value changing between reads applies two styles in table order",
            [](int read) { return std::string("[form]\nscin=") + (read == 5 ? "DeepBlue" : read == 7 ? "Protein" : "x") + "\n"; },
            672, 489, false, UIStyle::Protein },
    };
    for (const auto& row : cases) {
        Form form;
        form.files.setFileByRead(kSettings, row.contents);
        FakeMainWindow& window = form.create();
        EXPECT_EQ(widthOf(window), row.width) << row.name;
        EXPECT_EQ(heightOf(window), row.height) << row.name;
        EXPECT_EQ(window.maximizedWhenShown, row.maximized) << row.name;
        EXPECT_EQ(form.form->uiStyle(), row.style) << row.name;
    }
}

TEST(FormCreate, ScinSelectsAStyleByItsExactName)
{
    struct StyleCase {
        const char* scin;
        UIStyle style;
        const char* look;
    };
    const StyleCase cases[] {
        { "MacOS", UIStyle::MacOS, "MacOS" },
        { "WinXP", UIStyle::WinXP, "WinXP" },
        { "DeepBlue", UIStyle::DeepBlue, "DeepBlue" },
        { "Protein", UIStyle::Protein, "Protein" },
        { "BlueGlass", UIStyle::BlueGlass, "BlueGlass" },
        { "FromThemeFile", UIStyle::FromThemeFile, "FromThemeFile" },
        { "MacOs", UIStyle::DeepBlue, "DeepBlue" },
        { "macos", UIStyle::DeepBlue, "DeepBlue" },
        { "WINXP", UIStyle::DeepBlue, "DeepBlue" },
        { "Blue Glass", UIStyle::DeepBlue, "DeepBlue" },
        { "", UIStyle::DeepBlue, "DeepBlue" },
    };
    for (const auto& row : cases) {
        Form form;
        form.files.setFile(kSettings, std::string("[form]\nscin=") + row.scin + "\n");
        FakeMainWindow& window = form.create();
        EXPECT_EQ(form.form->uiStyle(), row.style) << row.scin;
        EXPECT_EQ(window.frameLook.name, row.look) << row.scin;
        EXPECT_EQ(window.statusLook.name, "DeepBlue") << "the status strip keeps its style with scin=" << row.scin;
        EXPECT_FALSE(form.reportedAnError()) << "scin=" << row.scin;
    }
}

TEST(FormCreate, StyleCodesAreTheSkinPacksNumbering)
{
    const std::pair<UIStyle, int> cases[] {
        { UIStyle::FromThemeFile, 0 },
        { UIStyle::MacOS, 1 },
        { UIStyle::WinXP, 2 },
        { UIStyle::DeepBlue, 3 },
        { UIStyle::Protein, 4 },
        { UIStyle::BlueGlass, 5 },
    };
    for (auto [style, code] : cases)
        EXPECT_EQ(static_cast<int>(style), code) << builtInLook(style).name;
}

TEST(FormCreate, FromThemeFileLoadsScinSuiFromTheLaunchFolder)
{
    struct ThemeCase {
        const char* name;
        std::optional<std::string> theme; // nothing: no file
        const char* executable;
        const char* themePath;
        platform::Colour titleTop;
        int width;
        int height;
    };
    const platform::Colour neutralTop = builtInLook(UIStyle::FromThemeFile).titleTop;
    const ThemeCase cases[] {
        { "a theme", "title-top = #102030\n", "/menu/qvzmenu", kThemeFile, { 16, 32, 48, 255 }, 672, 489 },
        { "no theme file keeps the neutral look", std::nullopt, "/menu/qvzmenu", kThemeFile, neutralTop, 672, 489 },
        { "a theme's minimum size grows the window", "minimum-size = 900 x 700\n", "/menu/qvzmenu", kThemeFile, neutralTop, 900,
            700 },
        { "the launch folder, not another", "title-top = #102030\n", "/disc/sub/start", "/disc/sub/scin.sui",
            { 16, 32, 48, 255 }, 672, 489 },
    };
    for (const auto& row : cases) {
        Form form;
        form.files.setExecutablePath(row.executable);
        std::string folder = std::string(row.executable).substr(0, std::string(row.executable).rfind('/') + 1);
        form.files.setFile(folder + "autorun.inf", "[form]\nscin=FromThemeFile\n");
        if (row.theme)
            form.files.setFile(row.themePath, *row.theme);
        FakeMainWindow& window = form.create();
        EXPECT_EQ(form.files.readCount(row.themePath), 1) << row.name;
        EXPECT_EQ(window.frameLook.titleTop, row.titleTop) << row.name;
        EXPECT_EQ(widthOf(window), row.width) << row.name;
        EXPECT_EQ(heightOf(window), row.height) << row.name;
        EXPECT_FALSE(form.reportedAnError()) << row.name;
    }
}

TEST(FormCreate, OtherStylesNeverReadTheThemeFile)
{
    Form form;
    form.files.setFile(kSettings, "[form]\nscin=WinXP\n");
    form.files.setFile(kThemeFile, "title-top = #102030\n");
    form.create();
    EXPECT_EQ(form.files.readCount(kThemeFile), 0);
}

TEST(FormCreate, AFailureShowsTheErrorBoxAndSkipsTheRemainingStages)
{
    struct FailureCase {
        const char* name;
        const char* failingCall;
        const char* lookAfter;
    };
    const FailureCase cases[] {
        { "size stage fails: no skin", "setOuterSize", "DeepBlue" },
        { "skin stage fails", "setFrameLook WinXP", "DeepBlue" },
    };
    for (const auto& row : cases) {
        Form form;
        form.application.failingFrameCall = row.failingCall;
        form.files.setFile(kSettings, "[form]\nCaption=Broken\nsize=Custorm\nscin=WinXP\n");
        FakeMainWindow& window = form.create();
        ASSERT_EQ(form.log.calls.size(), 4u) << row.name;
        EXPECT_EQ(form.log.calls[2], "window.setTitle Broken") << row.name;
        EXPECT_TRUE(form.log.calls[3].starts_with("app.showErrorBox Qvzmenu: Cannot " + std::string(row.failingCall)))
            << row.name << ": " << form.log.calls[3];
        EXPECT_EQ(window.frameLook.name, row.lookAfter) << row.name;
        EXPECT_FALSE(window.maximizedWhenShown) << row.name;
    }
}

TEST(FormCreate, ClearsMusicEnabledAndLaysTheFrameOutFromTheDesign)
{
    Form form;
    FakeMainWindow& window = form.create();
    EXPECT_FALSE(form.form->musicEnabled());
    EXPECT_EQ(window.frameLayout.titleBarHeight, 32);
    EXPECT_EQ(window.frameLayout.sectionWidth, 97);
    EXPECT_EQ(window.frameLayout.buttonSize, 19);
    EXPECT_EQ(window.frameLayout.buttonTop, 2);
    EXPECT_EQ(window.frameLayout.statusHeight, 19);
    // CheckBox1 at (4, 472, 97 x 16) in a frame 488 high ends at its bottom edge.
    EXPECT_EQ(window.frameLayout.checkBoxLeft, 4);
    EXPECT_EQ(window.frameLayout.checkBoxBottomGap, 0);
    EXPECT_EQ(window.frameLayout.checkBoxWidth, 97);
    EXPECT_EQ(window.frameLayout.checkBoxHeight, 16);
}

}
}
