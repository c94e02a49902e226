"""Background music as a user hears it, recorded from a real sound server.

The program plays into a PulseAudio null sink whose monitor the test records. The
test tone (sound.make_tone) starts with a short high marker, so each start of the track
shows in the recording; a gapless loop is one unbroken wave.

A MIDI tune is a piano note that dies away within its second, so its loop points are
checked by the note being struck again once a second, not by an unbroken wave.
"""

import pytest

import accessibility
import sound
from harness import WaitTimeout, wait_until

LATEST_WINDOW = 15.0
LATEST_SOUND = 10.0
EXIT_TIMEOUT = 10.0
# How long a test listens for sound that must not come.
QUIET_PERIOD = 2.5


def music_settings(musicfile=None, music="1"):
    lines = ["[form]", "Caption=Music"]
    if music is not None:
        lines.append(f"music={music}")
    if musicfile is not None:
        lines.append(f"musicfile={musicfile}")
    return "\r\n".join(lines) + "\r\n"


def sound_box(app, timeout=LATEST_WINDOW):
    return app.wait_accessible(accessibility.CHECK_BOX, "Sound", timeout)


def shown(node):
    return "showing" in accessibility.states(node)


def showing_sound_box(app):
    application = app.desktop.a11y.find_application(app.name, app.pid)
    if application is None:
        return None
    return accessibility.find(application, role=accessibility.CHECK_BOX, name="Sound", predicate=shown)


def close_and_expect_clean_exit(app):
    window = app.wait_window(LATEST_WINDOW)
    window.close()
    assert app.wait_exit(EXIT_TIMEOUT) == 0, app.stderr_tail()


def wait_for_sound(recording, app, after=0.0):
    return wait_until(lambda: recording.signal().has_sound(after), LATEST_SOUND, "sound in the recording",
                      abort=app.exit_reason)


def wait_recorded(recording, app, seconds):
    wait_until(lambda: recording.seconds() >= seconds, seconds + LATEST_SOUND,
               f"{seconds:.1f} s of recording", abort=app.exit_reason)


LOOPING_FORMATS = {
    "wav": ("tone.wav", True),
    "ogg-vorbis": ("tone.ogg", True),
    "flac": ("tone.flac", True),
    "mp3-with-lame-header": ("tone.mp3", True),
}


@pytest.mark.parametrize("name, gapless", list(LOOPING_FORMATS.values()), ids=list(LOOPING_FORMATS))
def test_music_starts_before_the_window_and_loops(sound_server, menu, work_folder, name, gapless):
    sound.make_tone(menu.path, name)
    menu.write("autorun.inf", music_settings(name))
    recording = sound_server.record(work_folder / "heard.wav")
    app = menu.start()
    app.wait_window(LATEST_WINDOW)
    window_shown = recording.moment()
    # The monitor hands recorded audio over in blocks, so the recording is compared
    # with the moment the window showed, not read live.
    wait_recorded(recording, app, window_shown + 0.2)
    start = recording.signal().first_sound()
    assert start is not None and start < window_shown, (
        f"music began at {start} s, the window showed at {window_shown:.2f} s into the recording")

    box = sound_box(app)
    wait_until(lambda: shown(box), LATEST_WINDOW, "the Sound box to show",
               describe=lambda: accessibility.states(box))
    assert "checked" in accessibility.states(box)

    # Listen once the program is up and its event loop free: a loop point is handled by
    # the loop, so one that falls while start-up still holds it (the one-second pause,
    # the accessibility bridge starting) is restarted late. What is recorded by now
    # was played before now, so the listening starts a little after it.
    listen_from = recording.seconds() + 0.5
    wait_recorded(recording, app, listen_from + 4.2)
    heard = recording.signal()
    starts = heard.marker_starts(listen_from, listen_from + 4.05)
    assert len(starts) >= 4, f"track starts heard in 4 s: {starts}"
    if gapless:
        assert heard.gaps(listen_from, listen_from + 4.0) == [], "silent gaps (time, length) while looping"
    recording.stop()
    close_and_expect_clean_exit(app)


def test_midi_music_is_heard_and_loops(sound_server, menu, work_folder):
    sound.make_midi(menu.path, "tune.mid")
    menu.write("autorun.inf", music_settings("tune.mid"))
    recording = sound_server.record(work_folder / "heard.wav")
    app = menu.start()
    app.wait_window(LATEST_WINDOW)
    wait_for_sound(recording, app)
    box = sound_box(app)
    wait_until(lambda: shown(box), LATEST_WINDOW, "the Sound box to show")
    listen_from = recording.seconds() + 0.5
    wait_recorded(recording, app, listen_from + 4.2)
    strikes = recording.signal().onsets(listen_from, listen_from + 4.0)
    assert len(strikes) >= 3, f"notes struck in 4 s: {strikes}"
    periods = [later - earlier for earlier, later in zip(strikes, strikes[1:])]
    # A MIDI restart flushes the pipeline, so a loop may run a little long.
    assert all(0.95 < period < 1.2 for period in periods), f"time between strikes: {periods}"
    recording.stop()
    close_and_expect_clean_exit(app)


def test_sound_box_pauses_and_resumes_where_it_stopped(sound_server, menu, work_folder):
    sound.make_tone(menu.path, "tone.ogg")
    menu.write("autorun.inf", music_settings("tone.ogg"))
    recording = sound_server.record(work_folder / "heard.wav")
    app = menu.start()
    app.wait_window(LATEST_WINDOW)
    box = sound_box(app)
    wait_until(lambda: shown(box), LATEST_WINDOW, "the Sound box to show")
    # Pause somewhere inside the track, not at a loop point.
    first = recording.signal().first_sound()
    wait_recorded(recording, app, first + 2.45)

    assert accessibility.click(box)
    wait_until(lambda: "checked" not in accessibility.states(box), 5.0, "the Sound box unticked")
    paused_at = recording.seconds()
    wait_recorded(recording, app, paused_at + 1.5)
    assert recording.signal().silent(paused_at + 0.5), "music still heard after unticking Sound"

    assert accessibility.click(box)
    wait_until(lambda: "checked" in accessibility.states(box), 5.0, "the Sound box ticked")
    resumed_from = recording.seconds()
    wait_for_sound(recording, app, after=resumed_from - 0.2)
    wait_recorded(recording, app, resumed_from + 2.5)
    heard = recording.stop()

    silences = heard.silences(first, None, 0.5)
    assert len(silences) == 1, f"expected one pause, heard silences {silences}"
    pause_start, pause_end = silences[0]
    before = [t for t in heard.marker_starts(first, pause_start)]
    after = heard.marker_starts(pause_end)
    assert before and len(after) >= 2, f"track starts before {before}, after {after}"
    # Resuming from the same place: what played of the track before the pause and
    # what played after it until the next start add up to one track.
    played = (pause_start - before[-1]) + (after[0] - pause_end)
    assert abs(played - sound.TONE_SECONDS) < 0.08, (
        f"{pause_start - before[-1]:.3f} s before the pause + {after[0] - pause_end:.3f} s after it")
    assert abs(after[1] - after[0] - sound.TONE_SECONDS) < 0.05, f"the loop after resuming: {after}"
    close_and_expect_clean_exit(app)


# (settings, files to create) for runs that must stay silent.
NO_MUSIC = {
    "music-yes-is-not-a-number": (music_settings("tone.wav", music="yes"), ["tone.wav"], True),
    "music-0": (music_settings("tone.wav", music="0"), ["tone.wav"], True),
    "musicfile-absent": (music_settings(None), ["tone.wav"], False),
    "musicfile-missing": (music_settings("other.wav"), ["tone.wav"], False),
    "absolute-windows-path": (music_settings("C:\\tone.wav"), ["tone.wav"], False),
}


@pytest.mark.parametrize("settings, files, _music_off", list(NO_MUSIC.values()), ids=list(NO_MUSIC))
def test_no_music_and_no_sound_box(sound_server, menu, work_folder, settings, files, _music_off):
    for name in files:
        sound.make_tone(menu.path, name)
    menu.write("autorun.inf", settings)
    recording = sound_server.record(work_folder / "heard.wav")
    app = menu.start()
    app.wait_window(LATEST_WINDOW)
    sound_box(app)  # the window's widgets are exported
    listened_from = recording.seconds()
    wait_recorded(recording, app, listened_from + QUIET_PERIOD)
    heard = recording.stop()
    assert heard.silent(0.0), f"sound heard at {heard.first_sound():.2f} s"
    assert showing_sound_box(app) is None, "the Sound box is showing"
    close_and_expect_clean_exit(app)


def test_musicfile_with_backslash_plays_from_a_subfolder(sound_server, menu, work_folder):
    sound.make_tone(menu.path / "music", "tone.ogg")
    menu.write("autorun.inf", music_settings("music\\tone.ogg"))
    recording = sound_server.record(work_folder / "heard.wav")
    app = menu.start()
    wait_for_sound(recording, app)
    wait_until(lambda: showing_sound_box(app), LATEST_WINDOW, "the Sound box to show", abort=app.exit_reason)
    recording.stop()
    close_and_expect_clean_exit(app)


DAMAGED = {
    "not-audio-at-all": ("tone.ogg", b"this is not a sound file\n" * 200),
    "truncated-ogg-page": ("tone.ogg", b"OggS\x00\x02" + b"\x00" * 40),
}


@pytest.mark.parametrize("name, contents", list(DAMAGED.values()), ids=list(DAMAGED))
def test_damaged_music_file_reports_gstreamers_message(sound_server, menu, work_folder, name, contents):
    path = menu.write(name, contents)
    expected = sound.gstreamer_error(path)
    if expected and expected[-1] > ".":
        expected += "."
    menu.write("autorun.inf", music_settings(name))
    recording = sound_server.record(work_folder / "heard.wav")
    app = menu.start()
    dialog = app.wait_dialog(LATEST_WINDOW)
    texts = [text for text in accessibility.texts(dialog) if text]
    assert expected in texts, f"error box texts {texts}, GStreamer says {expected!r}"
    app.click("OK")
    app.wait_window(LATEST_WINDOW, title="Music")
    sound_box(app)
    heard = recording.stop()
    assert heard.silent(0.0)
    assert showing_sound_box(app) is None, "the Sound box is showing after a failed open"
    close_and_expect_clean_exit(app)


LINK_PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Songs</title></head><body>
<p><a href="song.mp3">Song</a></p><p><a href="song.MP3">Loud song</a></p>
</body></html>
"""


def click_link(app, desktop, name, role=accessibility.LINK):
    """Clicks with the real mouse: an error box's own loop would run inside an accessibility
    action and keep the program from answering the accessibility bus until it closed."""
    node = app.wait_accessible(role, name, LATEST_WINDOW)
    box = wait_until(lambda: (lambda e: e if e and e[2] > 0 and e[3] > 0 else None)(accessibility.extents(node)),
                     LATEST_WINDOW, f"the place of {name!r}", abort=app.exit_reason)
    desktop.x.run(["xdotool", "mousemove", str(int(box[0] + box[2] / 2)), str(int(box[1] + box[3] / 2)),
                   "click", "1"], check=True)


def wait_handed_song(spy_desktop, app, menu, name):
    path = str(menu.path / name)
    wanted = {("music", path), ("music", "file://" + path)}
    wait_until(lambda: wanted & set(spy_desktop.opened()), LATEST_WINDOW, f"the music handler to be given {name}",
               abort=app.exit_reason, describe=lambda: f"recorded {spy_desktop.opened()!r}")


def song_menu(menu, settings):
    menu.write("qvz.htm", LINK_PAGE)
    for name in ("song.mp3", "song.MP3"):
        sound.make_tone(menu.path, name)
    sound.make_tone(menu.path, "tone.ogg")
    menu.write("autorun.inf", settings)


def wait_error_box(app, expected):
    dialog = app.wait_dialog(LATEST_WINDOW)
    texts = [text for text in accessibility.texts(dialog) if text]
    assert expected in texts, f"error box texts {texts}"
    app.click("OK")
    wait_until(lambda: "showing" not in accessibility.states(dialog), LATEST_WINDOW, "the error box to close",
               abort=app.exit_reason)


def test_mp3_links_go_to_the_desktop_and_only_lower_case_silences_the_music(sound_server, menu, desktop,
                                                                           spy_desktop, work_folder):
    song_menu(menu, music_settings("tone.ogg"))
    recording = sound_server.record(work_folder / "heard.wav")
    app = menu.start()
    app.wait_window(LATEST_WINDOW)
    box = sound_box(app)
    wait_until(lambda: shown(box), LATEST_WINDOW, "the Sound box to show")

    # ".MP3" is not the rule's extension: the file is handed on and the music goes on.
    click_link(app, desktop, "Loud song")
    wait_handed_song(spy_desktop, app, menu, "song.MP3")
    handed = recording.seconds()
    wait_recorded(recording, app, handed + 2.0)
    assert recording.signal().has_sound(handed + 1.0), "the music stopped after a link to song.MP3"

    click_link(app, desktop, "Song")
    wait_handed_song(spy_desktop, app, menu, "song.mp3")
    # What the sink still held when the player closed is heard a moment longer.
    silenced = recording.seconds()
    wait_recorded(recording, app, silenced + 1.5 + QUIET_PERIOD)
    assert recording.signal().silent(silenced + 1.5), "music heard after a link to song.mp3"

    # The player is closed for good: every click on Sound fails, and the box still toggles.
    for ticked_after in (False, True):
        click_link(app, desktop, "Sound", role=accessibility.CHECK_BOX)
        wait_error_box(app, "No MCI device open.")
        assert ("checked" in accessibility.states(box)) == ticked_after
    recording.stop()
    close_and_expect_clean_exit(app)


def test_mp3_link_without_music_shows_no_message(sound_server, menu, desktop, spy_desktop):
    song_menu(menu, music_settings(None, music=None))
    app = menu.start()
    app.wait_window(LATEST_WINDOW)
    click_link(app, desktop, "Song")
    wait_handed_song(spy_desktop, app, menu, "song.mp3")
    with pytest.raises(WaitTimeout):
        app.wait_dialog(QUIET_PERIOD)
    close_and_expect_clean_exit(app)


def test_no_sound_server_reports_gstreamers_message(menu, child_env, work_folder):
    child_env["PULSE_SERVER"] = f"unix:{work_folder / 'no-server-here'}"
    expected = sound.sound_server_warning(child_env)
    if expected and expected[-1] > ".":
        expected += "."
    sound.make_tone(menu.path, "tone.ogg")
    menu.write("autorun.inf", music_settings("tone.ogg"))
    app = menu.start()
    dialog = app.wait_dialog(LATEST_WINDOW)
    texts = [text for text in accessibility.texts(dialog) if text]
    assert expected in texts, f"error box texts {texts}, GStreamer says {expected!r}"
    app.click("OK")
    app.wait_window(LATEST_WINDOW, title="Music")
    sound_box(app)
    assert showing_sound_box(app) is None, "the Sound box is showing without a sound server"
    close_and_expect_clean_exit(app)
