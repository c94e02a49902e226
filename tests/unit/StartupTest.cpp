// The start-up spine against fakes: what happens in which order, and that a
// failure while the main window is created is reported without stopping the
// program.

#include "fakes/FakeFileSystem.h"
#include "fakes/FakePlatform.h"
#include "fixtures/JpegFixtures.h"
#include "fakes/FakeShell.h"
#include "startup/Project1.h"

#include <gtest/gtest.h>

namespace qvz {
namespace {

using testing::CallLog;
using testing::FakeApplication;
using testing::FakeFileSystem;

struct StartupRun {
    CallLog log;
    FakeFileSystem files;
    FakeApplication application { log };
    testing::FakeShell shell { log };
    int exitCode = -1;

    void run()
    {
        exitCode = Project1({ files, application, shell }).run();
    }
};

TEST(Startup, CreatesTheWindowPausesThenRunsTheLoop)
{
    StartupRun startup;
    startup.files.setExecutablePath("/media/disc/QVZMENU.bin");
    startup.files.setFile("/media/disc/autorun.inf", "[form]\nCaption=Hello\n");
    startup.run();

    std::vector<std::string> expected {
        "app.initialize Qvzmenu",
        "app.createMainWindow",
        "window.setClientSize 672x489",
        "window.setTitle Hello",
        "app.sleepBlocking 1000",
        "app.run",
        "view.installRightClickFilter",
        "view.navigate /media/disc/qvz.htm",
        "view.removeRightClickFilter 7",
    };
    EXPECT_EQ(startup.log.calls, expected);
    EXPECT_EQ(startup.exitCode, 0);
}

TEST(Startup, MissingSettingsFileGivesTheDefaultCaption)
{
    StartupRun startup;
    startup.run();
    ASSERT_NE(startup.application.mainWindow, nullptr);
    EXPECT_EQ(startup.application.mainWindow->title, "QVZ");
}

TEST(Startup, SettingsAreReadFromTheExecutablesFolderAfresh)
{
    StartupRun startup;
    startup.files.setExecutablePath("/a/b/menu");
    startup.files.setFile("/a/b/autorun.inf", "[FORM]\ncaption=\n");
    startup.run();
    EXPECT_EQ(startup.application.mainWindow->title, "");
}

// With a splash, the whole sequence: the splash is created (its creation
// handler loads the picture), its effect, duration, width and height are set
// in the order the keys are read, it is shown and repainted before the main
// window exists; the pause follows the main window's creation, and the splash
// is hidden only after the pause and before the loop.
TEST(Startup, WithASplashShowsItBeforeTheMainWindowAndHidesItAfterThePause)
{
    StartupRun startup;
    startup.files.setExecutablePath("/media/disc/QVZMENU.bin");
    startup.files.setFile("/media/disc/autorun.inf",
        "[form]\nUseSplash=1\nEffect=3\nDelaySplash=1500\nSw=640\nSh=480\nCaption=Hello\n");
    startup.files.setFile("/media/disc/qvz_splash.jpg", testing::makeJpeg(100, 80));
    startup.run();

    std::vector<std::string> expected {
        "app.createSplashWindow",
        "splash.setWidth 292",
        "splash.setHeight 216",
        "splash.setTransition 8",
        "splash.setTransition 3",
        "splash.setTransitionDuration 1500",
        "splash.setWidth 640",
        "splash.setHeight 480",
        "splash.setPicture 100x80",
        "splash.show",
        "splash.repaint",
        "app.initialize Qvzmenu",
        "app.createMainWindow",
        "window.setClientSize 672x489",
        "window.setTitle Hello",
        "app.sleepBlocking 1000",
        "splash.hide",
        "app.run",
        "view.installRightClickFilter",
        "view.navigate /media/disc/qvz.htm",
        "view.removeRightClickFilter 7",
    };
    EXPECT_EQ(startup.log.calls, expected);
    EXPECT_EQ(startup.exitCode, 0);
}

}
}
