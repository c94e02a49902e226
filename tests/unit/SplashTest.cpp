// The splash as start-up drives it, against fakes: which effect and size the
// settings give, and what a missing or damaged picture reports and shows.

#include "fakes/FakeFileSystem.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeShell.h"
#include "fixtures/JpegFixtures.h"
#include "startup/Project1.h"

#include <jerror.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace qvz {
namespace {

using platform::RevealEffect;
using testing::CallLog;
using testing::FakeApplication;
using testing::FakeFileSystem;

constexpr const char* kSettings = "/menu/autorun.inf";
constexpr const char* kPicture = "/menu/qvz_splash.jpg";

struct SplashRun {
    CallLog log;
    FakeFileSystem files;
    FakeApplication application { log };
    testing::FakeShell shell { log };

    explicit SplashRun(std::string settings)
    {
        files.setFile(kSettings, "[form]\nUseSplash=1\n" + settings);
        files.setFile(kPicture, testing::makeJpeg(64, 48));
    }

    const testing::FakeSplashState& run()
    {
        Project1({ files, application, shell }).run();
        EXPECT_TRUE(application.splash.created);
        return application.splash;
    }

    std::vector<std::string> errorBoxes() const
    {
        std::vector<std::string> boxes;
        std::copy_if(log.calls.begin(), log.calls.end(), std::back_inserter(boxes),
            [](const std::string& call) { return call.starts_with("app.showErrorBox"); });
        return boxes;
    }
};

TEST(Splash, EffectAndDurationComeFromTheSettings)
{
    struct Case {
        const char* name;
        const char* settings;
        RevealEffect effect;
        int duration;
    };
    const Case cases[] = {
        { "defaults: alpha blend for two seconds", "", RevealEffect::Alpha, 2000 },
        { "0 is none", "Effect=0\n", RevealEffect::None, 2000 },
        { "2 is blocks", "Effect=2\n", RevealEffect::Blocks, 2000 },
        { "3 is drip", "Effect=3\n", RevealEffect::Drip, 2000 },
        { "4 is fuse", "Effect=4\n", RevealEffect::Fuse, 2000 },
        { "5 is interlaced", "Effect=5\n", RevealEffect::Interlaced, 2000 },
        { "6 is roll", "Effect=6\n", RevealEffect::Roll, 2000 },
        { "7 is waterfall", "Effect=7\n", RevealEffect::Waterfall, 2000 },
        { "8 is wipe", "Effect=8\n", RevealEffect::Wipe, 2000 },
        { "9 falls back to the default", "Effect=9\n", RevealEffect::Alpha, 2000 },
        { "-1 falls back to the default", "Effect=-1\n", RevealEffect::Alpha, 2000 },
        { "huge falls back to the default", "Effect=$7FFFFFFF\n", RevealEffect::Alpha, 2000 },
        { "not a number gives the default", "Effect=wipe\n", RevealEffect::Alpha, 2000 },
        { "duration as given", "Effect=6\nDelaySplash=750\n", RevealEffect::Roll, 750 },
        { "duration 0 passed on", "DelaySplash=0\n", RevealEffect::Alpha, 0 },
        { "negative duration passed on", "DelaySplash=-5\n", RevealEffect::Alpha, -5 },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        SplashRun startup(test.settings);
        auto& splash = startup.run();
        EXPECT_EQ(splash.transition, test.effect);
        EXPECT_EQ(splash.duration, test.duration);
        EXPECT_TRUE(startup.errorBoxes().empty());
    }
}

TEST(Splash, SizeComesFromTheSettingsWithinSaneBounds)
{
    struct Case {
        const char* name;
        const char* settings;
        int width;
        int height;
    };
    const Case cases[] = {
        { "defaults", "", 300, 250 },
        { "as given", "Sw=640\nSh=480\n", 640, 480 },
        { "zero becomes one pixel", "Sw=0\nSh=0\n", 1, 1 },
        { "negative becomes one pixel", "Sw=-640\nSh=-1\n", 1, 1 },
        { "absurd becomes 4096", "Sw=2147483647\nSh=100000\n", 4096, 4096 },
        { "largest kept", "Sw=4096\nSh=4095\n", 4096, 4095 },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        SplashRun startup(test.settings);
        auto& splash = startup.run();
        EXPECT_EQ(splash.width, test.width);
        EXPECT_EQ(splash.height, test.height);
        // The picture is decoded no larger than the window.
        EXPECT_EQ(splash.picture.width, std::min(64, test.width));
        EXPECT_EQ(splash.picture.height, std::min(48, test.height));
    }
}

// A picture that cannot be used is reported in the standard error box with
// the application's title and the exact text; start-up goes on and shows the
// built-in 340 x 280 picture, clipped by the window.
TEST(Splash, UnusablePicturesAreReportedAndTheBuiltInOneShows)
{
    struct Case {
        const char* name;
        std::function<void(FakeFileSystem&)> prepare;
        std::string report;
    };
    const std::string title = "app.showErrorBox qvzmenu: ";
    const Case cases[] = {
        { "missing", [](FakeFileSystem& files) { files.removeFile(kPicture); },
            "Cannot open file \"/menu/qvz_splash.jpg\". No such file or directory." },
        { "unreadable", [](FakeFileSystem& files) { files.setUnreadableFile(kPicture); },
            "Cannot open file \"/menu/qvz_splash.jpg\". Permission denied." },
        { "zero bytes", [](FakeFileSystem& files) { files.setFile(kPicture, ""); },
            "JPEG error #" + std::to_string(JERR_INPUT_EMPTY) + "." },
        { "png renamed", [](FakeFileSystem& files) { files.setFile(kPicture, testing::pngBytes()); },
            "JPEG error #" + std::to_string(JERR_NO_SOI) + "." },
        { "progressive claiming 60000 x 60000",
            [](FakeFileSystem& files) {
                files.setFile(kPicture,
                    testing::withDeclaredSize(testing::makeJpeg(64, 48, 3, testing::JpegKind::Progressive), 60000, 60000));
            },
            "JPEG error #" + std::to_string(JERR_NO_BACKING_STORE) + "." },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        SplashRun startup("Sw=400\nSh=200\n");
        test.prepare(startup.files);
        auto& splash = startup.run();
        EXPECT_EQ(startup.errorBoxes(), std::vector<std::string> { title + test.report });
        EXPECT_EQ(splash.picture.width, 340);
        EXPECT_EQ(splash.picture.height, 200);
        EXPECT_FALSE(splash.visible) << "hidden after the pause";
        ASSERT_NE(startup.application.mainWindow, nullptr) << "start-up went on";
    }
}

TEST(Splash, WithoutUseSplashNoSplashIsCreated)
{
    const char* cases[] = { "", "[form]\nUseSplash=0\n", "[form]\nUseSplash=yes\n", "[other]\nUseSplash=1\n" };
    for (const char* settings : cases) {
        SCOPED_TRACE(settings);
        CallLog log;
        FakeFileSystem files;
        FakeApplication application { log };
        testing::FakeShell shell { log };
        files.setFile(kSettings, settings);
        Project1({ files, application, shell }).run();
        EXPECT_FALSE(application.splash.created);
        EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "app.sleepBlocking 1000"), 1);
    }
}

}
}
