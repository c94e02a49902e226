"""The program's first promise: a main window titled from autorun.inf, and a clean exit.

Expectations are the settings-file rules as a menu author relies on them, checked on
the real program: the title as the window manager sees it (_NET_WM_NAME) and as
assistive technologies see it (the frame's accessible name).
"""

import string

import pytest

from harness import wait_until

DEFAULT_TITLE = "QVZ"
CLIENT_SIZE = (672, 489)

# The program pauses for one second before its window shows; anything earlier than this
# means the pause was skipped.
EARLIEST_WINDOW = 0.9
# Generous: the machine is shared and start-up includes loading GTK.
LATEST_WINDOW = 10.0
EXIT_TIMEOUT = 10.0

# Positions may differ by a rounding pixel when centring an odd size.
TOLERANCE = 1


def assert_titled_window_and_clean_exit(app, expected):
    """The common run: the window shows `expected` on both sides, then closes with code 0."""
    window = app.wait_window(LATEST_WINDOW)
    assert window.title() == expected, f"X title (_NET_WM_NAME) of {window.describe()}"
    wait_until(lambda: expected in app.frame_names(), LATEST_WINDOW,
               f"an accessible frame named {expected!r}", abort=app.exit_reason,
               describe=lambda: f"frames {app.frame_names()!r}")
    window.close()
    assert app.wait_exit(EXIT_TIMEOUT) == 0, app.stderr_tail()


def is_centred(rect, screen):
    width, height = screen
    return (abs(rect.x - (width - rect.width) / 2) <= TOLERANCE
            and abs(rect.y - (height - rect.height) / 2) <= TOLERANCE)


def centred_somehow(window, screen):
    """True when the window is centred, with or without the window manager's frame.

    A program asks for a centred position computed from its own size; the window manager
    may then put its frame's corner there (NorthWest gravity) or centre the whole frame.
    """
    client = window.geometry()
    outer = window.outer_geometry()
    if client is None or outer is None:
        return False
    width, height = screen
    corner = ((width - client.width) / 2, (height - client.height) / 2)
    frame_at_corner = abs(outer.x - corner[0]) <= TOLERANCE and abs(outer.y - corner[1]) <= TOLERANCE
    return is_centred(client, screen) or is_centred(outer, screen) or frame_at_corner


def test_without_settings_a_centred_qvz_window_follows_a_one_second_pause(menu, desktop):
    app = menu.start()
    probe = {"last_absent": 0.0}

    def shown_window():
        polled_at = app.elapsed()
        for window in app.windows():
            if window.viewable():
                return window
        probe["last_absent"] = polled_at
        return None

    window = wait_until(shown_window, LATEST_WINDOW, "the main window", abort=app.exit_reason)
    shown_by = app.elapsed()
    assert probe["last_absent"] >= EARLIEST_WINDOW, (
        f"the window was already there {shown_by:.2f} s after start and missing at "
        f"{probe['last_absent']:.2f} s: the one-second pause did not happen")

    assert window.title() == DEFAULT_TITLE
    wait_until(lambda: DEFAULT_TITLE in app.frame_names(), LATEST_WINDOW,
               f"an accessible frame named {DEFAULT_TITLE!r}", abort=app.exit_reason,
               describe=lambda: f"frames {app.frame_names()!r}")

    geometry = window.geometry()
    assert (geometry.width, geometry.height) == CLIENT_SIZE, window.describe()
    screen = desktop.x.screen_size()
    wait_until(lambda: centred_somehow(window, screen), 2.0, f"the window centred on a {screen} screen",
               describe=window.describe)

    window.close()
    assert app.wait_exit(EXIT_TIMEOUT) == 0, app.stderr_tail()


LONG_VALUE = (string.ascii_letters * 60)[:3000]

# (file contents, expected title). Bytes are written exactly, so line ends and
# code-page bytes reach the program as a menu author's editor would leave them.
CAPTIONS = {
    "double-quoted": (b'[form]\nCaption="Hello"\n', "Hello"),
    "single-quoted": (b"[form]\nCaption='Hello'\n", "Hello"),
    "unmatched-quotes-kept": (b"[form]\nCaption=\"v'\n", "\"v'"),
    "only-the-outer-pair-removed": (b"[form]\nCaption=\"'v'\"\n", "'v'"),
    "blanks-around-trimmed": (b"[form]\nCaption=   spaced  \t\n", "spaced"),
    "blanks-inside-quotes-kept": (b'[form]\nCaption= " padded " \n', " padded "),
    "empty-value-gives-empty-title": (b"[form]\nCaption=\n", ""),
    "long-value-cut-to-2047": (b"[form]\nCaption=" + LONG_VALUE.encode() + b"\n", LONG_VALUE[:2047]),
    "section-in-capitals": (b"[FORM]\nCaption=Upper\n", "Upper"),
    "key-in-lower-case": (b"[form]\ncaption=lower\n", "lower"),
    "crlf-lines": (b"[form]\r\nCaption=Windows\r\nsize=\r\n", "Windows"),
    "cr-only-lines": (b"[form]\rCaption=Classic\rsize=\r", "Classic"),
    "windows-1252-letter": (b"[form]\nCaption=Caf\xe9\n", "Café"),
    "windows-1252-euro-sign": (b"[form]\nCaption=5 \x80\n", "5 €"),
    "utf8-bom": (b"\xef\xbb\xbf[form]\nCaption=Marked\n", "Marked"),
    "repeated-section-first-wins": (b"[form]\nCaption=First\n[form]\nCaption=Second\n", "First"),
    "form-after-another-section": (b"[autorun]\nCaption=Wrong\n[form]\nCaption=Right\n", "Right"),
    "caption-before-any-section": (b"Caption=Orphan\n[form]\nsize=\n", DEFAULT_TITLE),
    "no-form-section": (b"[autorun]\nopen=qvzmenu\nCaption=Elsewhere\n", DEFAULT_TITLE),
    "empty-file": (b"", DEFAULT_TITLE),
    "commented-out": (b"[form]\n;Caption=x\n", DEFAULT_TITLE),
    "semicolon-inside-value": (b"[form]\nCaption=a;b\n", "a;b"),
}


@pytest.mark.parametrize("contents, expected", list(CAPTIONS.values()), ids=list(CAPTIONS))
def test_caption_from_settings_file(menu, contents, expected):
    menu.write("autorun.inf", contents)
    assert_titled_window_and_clean_exit(menu.start(), expected)


# A program that read its settings from the current folder, or took a settings path
# from its command line, would show the other file's caption.
@pytest.mark.parametrize("pass_path_as_argument", [False, True],
                         ids=["started-from-another-folder", "with-a-stray-argument"])
def test_settings_come_from_the_program_folder(menu, work_folder, pass_path_as_argument):
    menu.write("autorun.inf", "[form]\nCaption=From the menu folder\n")
    elsewhere = work_folder / "elsewhere"
    elsewhere.mkdir()
    other_settings = elsewhere / "autorun.inf"
    other_settings.write_text("[form]\nCaption=From the current folder\n")
    args = [str(other_settings)] if pass_path_as_argument else []
    assert_titled_window_and_clean_exit(menu.start(args, cwd=elsewhere), "From the menu folder")
