// The background music against a fake audio device: the music stage's order,
// looping on successful notices only, the Sound box, the ".mp3" rule, and the
// player's own notices and errors.

#include "fakes/FakeFileSystem.h"
#include "fakes/FakePlatform.h"
#include "music/BackgroundMusic.h"
#include "music/TMediaPlayer.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace qvz {
namespace {

using music::NotifyValue;
using testing::CallLog;
using testing::FakeCheckBox;
using testing::FakeFileSystem;
using testing::FakeMediaPlayer;

struct MusicRig {
    CallLog log;
    FakeFileSystem files;
    FakeMediaPlayer device { log };
    FakeCheckBox box { log };
    bool musicEnabled = false;
    music::TMediaPlayer player { device, files };
    music::BackgroundMusic music { files, player, box, musicEnabled };
    std::vector<NotifyValue> notices;

    MusicRig()
    {
        files.setExecutablePath("/media/disc/qvzmenu");
        player.onNotify([this](NotifyValue value) {
            notices.push_back(value);
            music.MediaPlayer1Notify(value);
        });
    }

    void runStage(const std::string& settings)
    {
        files.setFile("/media/disc/autorun.inf", settings);
        SettingsReader reader(files, "/media/disc/autorun.inf");
        music.musicStage(reader);
    }

    void startPlaying()
    {
        files.setFile("/media/disc/theme.ogg", "OggS");
        runStage("[form]\nmusic=1\nmusicfile=theme.ogg\n");
        log.calls.clear();
    }

    void click(bool ticked)
    {
        box.isChecked = ticked;
        music.CheckBox1Click();
    }
};

struct StageCase {
    const char* name;
    const char* settings;
    std::vector<std::string> existingFiles;
    std::vector<std::string> expectedCalls;
    bool expectedMusicEnabled;
};

TEST(MusicStage, OpensPlaysAndShowsTheSoundBoxOnlyWhenAsked)
{
    const std::vector<StageCase> cases {
        { "plays-and-shows-the-box", "[form]\nmusic=1\nmusicfile=theme.mp3\n", { "theme.mp3" },
            { "player.open /media/disc/theme.mp3", "player.play", "soundBox.setVisible true" }, true },
        { "minus-one-is-true", "[form]\nmusic=-1\nmusicfile=theme.mp3\n", { "theme.mp3" },
            { "player.open /media/disc/theme.mp3", "player.play", "soundBox.setVisible true" }, true },
        { "backslash-is-a-folder", "[form]\nmusic=1\nmusicfile=music\\theme.mid\n", { "music/theme.mid" },
            { "player.open /media/disc/music/theme.mid", "player.play", "soundBox.setVisible true" }, true },
        { "yes-is-not-a-number", "[form]\nmusic=yes\nmusicfile=theme.mp3\n", { "theme.mp3" }, {}, false },
        { "music-off", "[form]\nmusic=0\nmusicfile=theme.mp3\n", { "theme.mp3" }, {}, false },
        { "no-music-key", "[form]\nmusicfile=theme.mp3\n", { "theme.mp3" }, {}, false },
        { "musicfile-absent", "[form]\nmusic=1\n", { "theme.mp3" }, {}, true },
        { "musicfile-missing", "[form]\nmusic=1\nmusicfile=other.mp3\n", { "theme.mp3" }, {}, true },
        { "absolute-windows-path", "[form]\nmusic=1\nmusicfile=C:\\theme.mp3\n", { "theme.mp3" }, {}, true },
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        MusicRig rig;
        for (const auto& name : row.existingFiles)
            rig.files.setFile("/media/disc/" + name, "bytes");
        rig.runStage(row.settings);
        EXPECT_EQ(rig.log.calls, row.expectedCalls);
        EXPECT_EQ(rig.musicEnabled, row.expectedMusicEnabled);
    }
}

TEST(MusicStage, AFailedOpenRaisesTheDevicesTextAndLeavesTheBoxHidden)
{
    MusicRig rig;
    rig.files.setFile("/media/disc/theme.ogg", "damaged");
    rig.device.openError = "Could not determine type of stream.";
    try {
        rig.runStage("[form]\nmusic=1\nmusicfile=theme.ogg\n");
        FAIL() << "the open's failure was swallowed";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Could not determine type of stream.");
    }
    EXPECT_FALSE(rig.box.visible);
    EXPECT_TRUE(rig.musicEnabled);
}

TEST(MediaPlayer1Notify, LoopsOnASuccessfulNoticeOnly)
{
    struct Case {
        const char* name;
        NotifyValue value;
        bool playsAgain;
    };
    const std::vector<Case> cases {
        { "successful", NotifyValue::Successful, true },
        { "superseded", NotifyValue::Superseded, false },
        { "aborted", NotifyValue::Aborted, false },
        { "failed", NotifyValue::Failed, false },
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        MusicRig rig;
        rig.startPlaying();
        rig.music.MediaPlayer1Notify(row.value);
        std::vector<std::string> playedAgain { "player.play" };
        EXPECT_EQ(rig.log.calls, row.playsAgain ? playedAgain : std::vector<std::string> {});
    }
}

TEST(MediaPlayer1Notify, TheEndOfTheTrackStartsItAgainAndAgain)
{
    MusicRig rig;
    rig.startPlaying();
    for (int loop = 0; loop < 3; ++loop)
        rig.device.finishTrack();
    EXPECT_EQ(rig.log.calls, (std::vector<std::string> { "player.play", "player.play", "player.play" }));
    EXPECT_EQ(rig.notices, (std::vector<NotifyValue>(3, NotifyValue::Successful)));
}

TEST(MediaPlayer1Notify, AFailingReplayIsRecordedNotRaised)
{
    MusicRig rig;
    rig.startPlaying();
    rig.player.close();
    EXPECT_NO_THROW(rig.music.MediaPlayer1Notify(NotifyValue::Successful));
    EXPECT_EQ(rig.player.lastError(), "No MCI device open");
}

TEST(CheckBox1Click, PausesAndResumesTheLoop)
{
    MusicRig rig;
    rig.startPlaying();
    rig.click(false);
    rig.device.runPosted();
    EXPECT_EQ(rig.notices, std::vector<NotifyValue> { NotifyValue::Aborted });
    rig.device.finishTrack(); // a paused track never ends, and an aborted loop stays ended
    rig.click(true);
    rig.device.finishTrack();
    EXPECT_EQ(rig.log.calls, (std::vector<std::string> { "player.pause", "player.play", "player.play" }));
}

TEST(CheckBox1Click, DoesNothingWhenMusicWasNotAskedFor)
{
    MusicRig rig;
    rig.runStage("[form]\nmusic=0\n");
    rig.click(false);
    rig.click(true);
    EXPECT_TRUE(rig.log.calls.empty());
}

TEST(CheckBox1Click, AfterTheDeviceClosedEveryClickFails)
{
    MusicRig rig;
    rig.startPlaying();
    rig.music.mp3Rule("file:///media/disc/song.mp3");
    for (bool ticked : { false, true, false }) {
        SCOPED_TRACE(ticked ? "ticked" : "unticked");
        try {
            rig.click(ticked);
            FAIL() << "the click did not fail";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "No MCI device open");
        }
    }
}

TEST(Mp3Rule, StopsAndClosesForAnExactMp3Extension)
{
    struct Case {
        const char* name;
        const char* link;
        bool silences;
    };
    const std::vector<Case> cases {
        { "mp3", "file:///media/disc/song.mp3", true },
        { "windows-path", "D:\\menu\\songs\\song.mp3", true },
        { "capitals-do-not-match", "file:///media/disc/song.MP3", false },
        { "mixed-case", "song.Mp3", false },
        { "longer-extension", "song.mp3x", false },
        { "query-after-it", "http://example.com/song.mp3?x=1", false },
        { "dot-before-backslash", "D:\\a.mp3\\song", false },
        { "dot-before-colon", "a.mp3:stream", false },
        { "no-extension", "song", false },
        { "htm", "page.htm", false },
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        MusicRig rig;
        rig.startPlaying();
        rig.music.mp3Rule(row.link);
        std::vector<std::string> silenced { "player.stop", "player.close" };
        EXPECT_EQ(rig.log.calls, row.silences ? silenced : std::vector<std::string> {});
    }
}

TEST(Mp3Rule, IsSilentWhenNoMusicIsOpen)
{
    MusicRig rig;
    EXPECT_NO_THROW(rig.music.mp3Rule("song.mp3"));
    EXPECT_TRUE(rig.log.calls.empty());
    rig.startPlaying();
    rig.music.mp3Rule("song.mp3");
    EXPECT_NO_THROW(rig.music.mp3Rule("song.mp3"));
}

TEST(LinkExtension, FromTheLastDotWithNoSeparatorAfterIt)
{
    const std::vector<std::pair<const char*, const char*>> cases {
        { "a.b.mp3", ".mp3" }, { "dir.x\\file", "" }, { "c:file", "" }, { "http://h/x.htm", ".htm" },
        { "name.", "." }, { "", "" }, { "x:y.pdf", ".pdf" },
    };
    for (const auto& [link, extension] : cases)
        EXPECT_EQ(music::linkExtension(link), extension) << link;
}

TEST(TMediaPlayer, CommandsOnAClosedPlayerFail)
{
    MusicRig rig;
    const std::vector<std::pair<const char*, std::function<void()>>> commands {
        { "play", [&] { rig.player.play(); } },
        { "pause", [&] { rig.player.pause(); } },
        { "stop", [&] { rig.player.stop(); } },
    };
    for (const auto& [name, command] : commands) {
        SCOPED_TRACE(name);
        try {
            command();
            FAIL() << "no error";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "No MCI device open");
        }
    }
    EXPECT_NO_THROW(rig.player.close());
    EXPECT_TRUE(rig.log.calls.empty());
}

TEST(TMediaPlayer, NoticesOfInterruptedCommands)
{
    struct Case {
        const char* name;
        std::function<void(music::TMediaPlayer&)> then;
        std::vector<NotifyValue> expected;
    };
    const std::vector<Case> cases {
        { "play-again-supersedes", [](auto& p) { p.play(); }, { NotifyValue::Superseded } },
        { "play-without-notice-leaves-it", [](auto& p) { p.play(music::Notify::No); }, {} },
        { "pause-aborts", [](auto& p) { p.pause(); }, { NotifyValue::Aborted } },
        { "stop-aborts", [](auto& p) { p.stop(); }, { NotifyValue::Aborted } },
        { "close-aborts", [](auto& p) { p.close(); }, { NotifyValue::Aborted } },
        { "stop-with-notify-aborts-then-succeeds",
            [](auto& p) {
                p.setNotify(true);
                p.stop();
            },
            { NotifyValue::Aborted, NotifyValue::Successful } },
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        MusicRig rig;
        rig.player.onNotify([&](NotifyValue value) { rig.notices.push_back(value); });
        rig.startPlaying();
        row.then(rig.player);
        EXPECT_TRUE(rig.notices.empty()) << "a notice arrived inside the command";
        rig.device.runPosted();
        EXPECT_EQ(rig.notices, row.expected);
    }
}

TEST(TMediaPlayer, PauseTogglesOnlyBetweenPlayingAndPaused)
{
    MusicRig rig;
    rig.startPlaying();
    rig.player.pause();
    rig.player.pause();
    rig.player.stop();
    rig.player.pause();
    EXPECT_EQ(rig.log.calls, (std::vector<std::string> { "player.pause", "player.play", "player.stop" }));
}

TEST(TMediaPlayer, ClosesTheDeviceWhenDestroyed)
{
    CallLog log;
    FakeFileSystem files;
    FakeMediaPlayer device { log };
    files.setFile("/t.ogg", "x");
    {
        music::TMediaPlayer player(device, files);
        player.setFileName("/t.ogg");
        player.open();
    }
    EXPECT_EQ(log.calls.back(), "player.close");
}

}
}
