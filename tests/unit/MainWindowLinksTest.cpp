// The main window's view, shell hand-off, right-click filter and shortcut
// menu, driven through fakes of the platform as the real view and menu would.

#include "fakes/FakeFileSystem.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeShell.h"
#include "mainwindow/TForm1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qvz {
namespace {

using testing::CallLog;

class DirectSink final : public platform::EventSink {
public:
    void dispatch(const std::function<void()>& handler) noexcept override { handler(); }
};

struct MainWindowRun {
    CallLog log;
    testing::FakeFileSystem files;
    testing::FakeApplication application { log };
    testing::FakeShell shell { log };
    DirectSink sink;
    std::unique_ptr<TForm1> form;

    MainWindowRun()
    {
        files.setExecutablePath("/media/disc/qvzmenu");
        form = std::make_unique<TForm1>(platform::Platform { files, application, shell }, sink);
        log.calls.clear();
    }

    testing::FakeMainWindow& window() { return *application.mainWindow; }
    void show() { window().shown(); }
    void destroy() { window().destroyed(); }
};

constexpr const char* kStartPage = "file:///media/disc/qvz.htm";
constexpr const char* kWebPage = "http://127.0.0.1:8000/remote.htm";

struct NavigationRow {
    const char* name;
    const char* address;
    const char* initiator;
    int shellResult;
    bool cancelled;
    std::vector<std::string> calls;
};

const std::vector<NavigationRow> kNavigations {
    { "page-shows-in-view", "file:///media/disc/page2.htm", kStartPage, platform::kShellStarted, false, {} },
    { "document-handed-to-shell", "file:///media/disc/doc.pdf", kStartPage, platform::kShellStarted, true,
        { "shell.execute open file:///media/disc/doc.pdf in /media/disc/" } },
    { "unassociated-file-offers-open-with", "file:///media/disc/data.qqq", kStartPage,
        platform::kShellNoAssociation, true,
        { "shell.execute open file:///media/disc/data.qqq in /media/disc/",
            "shell.openWith file:///media/disc/data.qqq" } },
    { "unhandled-address-does-nothing-more", "gopher://example.org/", kStartPage, platform::kShellNoAssociation,
        true, { "shell.execute open gopher://example.org/ in /media/disc/" } },
    { "missing-file-still-cancelled", "file:///media/disc/gone.pdf", kStartPage, platform::kShellFileNotFound,
        true, { "shell.execute open file:///media/disc/gone.pdf in /media/disc/" } },
    { "failed-start-still-cancelled", "file:///media/disc/setup.sh", kStartPage, platform::kShellAccessDenied,
        true, { "shell.execute open file:///media/disc/setup.sh in /media/disc/" } },
    { "web-site-from-web-page-goes-to-browser", "https://www.example.org/", kWebPage, platform::kShellStarted,
        true, { "shell.execute open https://www.example.org/ in /media/disc/" } },
    { "local-file-from-web-page-opens-nothing", "file:///media/disc/setup.sh", kWebPage, platform::kShellStarted,
        true, {} },
    { "unassociated-file-from-web-page-offers-nothing", "file:///media/disc/data.qqq", kWebPage,
        platform::kShellNoAssociation, true, {} },
};

TEST(MainWindowLinks, EachNavigationIsShownHandedOnOrRefused)
{
    for (const auto& row : kNavigations) {
        MainWindowRun run;
        run.shell.result = row.shellResult;
        bool cancel = run.window().view.reportNavigation({ row.address, row.initiator });
        EXPECT_EQ(cancel, row.cancelled) << row.name;
        EXPECT_EQ(run.log.calls, row.calls) << row.name;
    }
}

struct FilterRow {
    const char* name;
    bool shown;
    std::vector<std::string> calls;
};

const std::vector<FilterRow> kFilterLives {
    { "shown-then-destroyed", true,
        { "view.installRightClickFilter", "view.navigate /media/disc/qvz.htm", "view.removeRightClickFilter 7" } },
    { "destroyed-without-showing", false, {} },
};

TEST(MainWindowLinks, FilterLivesFromShowToDestroy)
{
    for (const auto& row : kFilterLives) {
        MainWindowRun run;
        if (row.shown)
            run.show();
        run.destroy();
        EXPECT_EQ(run.log.calls, row.calls) << row.name;
        EXPECT_FALSE(run.window().view.filterInstalled) << row.name;
    }
}

TEST(MainWindowMenu, ItemsAreExitSeparatorAndHomePage)
{
    MainWindowRun run;
    std::vector<std::string> captions;
    for (const auto& item : run.window().menu.items)
        captions.push_back(item.caption);
    EXPECT_EQ(captions, (std::vector<std::string> { "Exit", "-", "Pelmora Home page" }));
}

struct MenuChoiceRow {
    const char* name;
    const char* caption;
    int shellResult;
    std::vector<std::string> calls;
};

const std::vector<MenuChoiceRow> kMenuChoices {
    { "home-page-opened-by-shell", "Pelmora Home page", platform::kShellStarted,
        { "shell.execute open https://www.pelmora.com/ in (none)" } },
    { "home-page-failure-ignored", "Pelmora Home page", platform::kShellNoAssociation,
        { "shell.execute open https://www.pelmora.com/ in (none)" } },
    { "exit-closes-the-window", "Exit", platform::kShellStarted, { "window.close" } },
};

TEST(MainWindowMenu, ChoosingAnItem)
{
    for (const auto& row : kMenuChoices) {
        MainWindowRun run;
        run.shell.result = row.shellResult;
        run.window().menu.choose(row.caption);
        EXPECT_EQ(run.log.calls, row.calls) << row.name;
    }
}

TEST(MainWindowMenu, DrawnInTheDeepBlueStyle)
{
    MainWindowRun run;
    const auto& style = run.window().menu.style;
    EXPECT_EQ(style.itemHeight, 21);
    EXPECT_EQ(style.separatorHeight, 5);
    EXPECT_EQ(style.barWidth, 26);
    EXPECT_EQ((std::vector<int> { style.bar.red, style.bar.green, style.bar.blue }), (std::vector<int> { 214, 211, 206 }));
    EXPECT_EQ((std::vector<int> { style.selected.red, style.selected.green, style.selected.blue }),
        (std::vector<int> { 68, 74, 160 }));
}

}
}
