"""The splash as a user sees it: size and place, timing against the main window, the
nine reveal effects, the picture (clipped, on the button-face colour, or built in) and
the error boxes of a missing or damaged picture.

Pictures are drawn here with ImageMagick, so every expectation is about a known image.
"""

import subprocess
import time
from pathlib import Path

import pytest

import accessibility
import multihead
import screenshots
from harness import wait_until
from xwindows import Rect

REPOSITORY = Path(__file__).resolve().parents[2]
BUILT_IN_PICTURE = REPOSITORY / "resources" / "splash-builtin.jpg"

LATEST_SPLASH = 10.0
LATEST_WINDOW = 15.0
EXIT_TIMEOUT = 10.0
# Window positions may differ by a rounding pixel when centring an odd size.
TOLERANCE = 1
# The GTK theme's window background, which the splash uses as its button-face colour.
BUTTON_FACE = (246, 245, 244)
# libjpeg-turbo's message number for "Not a JPEG file" (JERR_NO_SOI).
JERR_NO_SOI = 53

EFFECTS = ["none", "Alpha", "Blocks", "Drip", "Fuse", "Inter", "Roll", "Water", "Wipe"]


# --- helpers -------------------------------------------------------------------------

def settings(**keys):
    return "[form]\n" + "".join(f"{key}={value}\n" for key, value in keys.items())


def make_picture(path, width, height):
    """A busy picture: a diagonal gradient with stripes, far from black and from grey."""
    subprocess.run(["convert", "-size", f"{width}x{height}", "gradient:#ff4010-#10c0ff",
                    "-fill", "#20ff40", "-draw", f"rectangle 0,{height // 3} {width},{height // 3 + height // 8}",
                    "-fill", "#ffe020", "-draw", f"rectangle {width // 2},0 {width // 2 + width // 10},{height}",
                    "-quality", "95", str(path)], check=True, capture_output=True, timeout=30)
    return screenshots.Image.load(path)


def is_splash(window):
    return "SPLASH" in window.window_type()


def splash_of(app):
    for window in app.windows():
        if is_splash(window) and window.viewable():
            return window
    return None


def main_window_of(app):
    for window in app.windows():
        if not is_splash(window) and window.viewable() and window.title() == "QVZ":
            return window
    return None


def wait_splash(app):
    return wait_until(lambda: splash_of(app), LATEST_SPLASH, "the splash window", abort=app.exit_reason)


def difference(first, second, step=5):
    """Mean absolute channel difference of two same-sized pictures, sampled every `step` pixels."""
    assert (first.width, first.height) == (second.width, second.height)
    total = count = 0
    for y in range(0, first.height, step):
        for x in range(0, first.width, step):
            a, b = first.pixel(x, y), second.pixel(x, y)
            total += abs(a[0] - b[0]) + abs(a[1] - b[1]) + abs(a[2] - b[2])
            count += 3
    return total / count


def wait_shows(desktop, work_folder, rect, expected, timeout, what):
    """Waits until the screen's `rect` looks like `expected`; returns the last grab."""
    seen = {}

    def matches():
        seen["shot"] = grab(desktop, work_folder, "splash", rect)
        seen["difference"] = difference(seen["shot"], expected)
        return seen["difference"] < 6
    wait_until(matches, timeout, what, describe=lambda: f"mean difference {seen.get('difference')}")
    return seen["shot"]


def grab(desktop, work_folder, name, rect):
    image = desktop.screenshot(work_folder / f"{name}.png")
    return image.crop(rect.x, rect.y, rect.width, rect.height)


def close_app(app):
    window = wait_until(lambda: main_window_of(app), LATEST_WINDOW, "the main window", abort=app.exit_reason)
    window.close()
    assert app.wait_exit(EXIT_TIMEOUT) == 0, app.stderr_tail()


# --- size and place --------------------------------------------------------------------

def centred_on(rect, box):
    x, y, width, height = box
    return (abs(rect.x - (x + (width - rect.width) // 2)) <= TOLERANCE
            and abs(rect.y - (y + (height - rect.height) // 2)) <= TOLERANCE)


def test_a_640_by_480_splash_is_borderless_and_centred(menu, desktop):
    menu.write("autorun.inf", settings(UseSplash=1, Effect=0, Sw=640, Sh=480))
    make_picture(menu.file("qvz_splash.jpg"), 700, 500)
    app = menu.start()
    splash = wait_splash(app)
    geometry = splash.geometry()
    assert (geometry.width, geometry.height) == (640, 480), splash.describe()
    assert splash.frame_extents() == (0, 0, 0, 0), splash.describe()
    assert centred_on(geometry, (0, 0, *desktop.x.screen_size())), splash.describe()
    close_app(app)


@pytest.fixture
def two_monitors(desktop, menu, child_env, work_folder):
    """Runs the program on a second X server with two monitors side by side, smaller than
    its screen: the box spanning them is (0, 0, 1200, 600).

    The session's Xvfb cannot show GTK two monitors (multihead.py says why), so this
    test gets an Xorg of its own; `menu` starts the program there and its windows are
    looked up there.

    Each monitor gives the box one edge or more (left and bottom from the left one, top
    and right from the right one), and the box's centre is neither a monitor's nor the
    screen's. A 320 x 200 splash centred on the box lies wholly on the left monitor: openbox
    pushes a splash that straddles two monitors onto one of them, which would hide where
    the program put it.
    """
    reason = multihead.unavailable_reason()
    if reason:
        pytest.skip(f"two monitors need Xorg with the dummy driver: {reason}")
    heads = multihead.TwoMonitorDesktop(desktop, work_folder / "two-monitors",
                                        [(0, 100, 800, 500), (800, 0, 400, 300)]).start()
    heads.program_env(child_env)
    menu.desktop = heads
    try:
        yield (0, 0, 1200, 600)
    finally:
        # The program goes before its X server does, so it is not killed by a lost display.
        menu.stop_all()
        heads.stop()


def test_with_two_monitors_the_splash_is_centred_on_the_box_spanning_both(menu, two_monitors):
    menu.write("autorun.inf", settings(UseSplash=1, Effect=0, Sw=320, Sh=200))
    app = menu.start()
    ok = app.wait_dialog(LATEST_SPLASH)  # no picture: the error box comes first
    assert ok is not None
    app.click("OK")
    splash = wait_splash(app)
    assert centred_on(splash.geometry(), two_monitors), splash.describe()
    close_app(app)


# --- timing ----------------------------------------------------------------------------

def test_main_window_maps_after_the_effect_and_the_pause_and_the_splash_goes_then(menu):
    delay = 1500
    menu.write("autorun.inf", settings(UseSplash=1, Effect=1, DelaySplash=delay, Sw=400, Sh=300))
    make_picture(menu.file("qvz_splash.jpg"), 400, 300)
    app = menu.start()
    wait_splash(app)
    seen = {"splash_before_main": None}

    def main_mapped():
        splash_now = splash_of(app) is not None
        main = main_window_of(app)
        if main is None:
            seen["splash_before_main"] = splash_now
        return main
    wait_until(main_mapped, LATEST_WINDOW, "the main window", abort=app.exit_reason)
    mapped_at = app.elapsed()
    assert mapped_at >= (delay + 1000) / 1000 - 0.05, f"main window mapped {mapped_at:.2f} s after start"
    assert seen["splash_before_main"], "the splash was gone before the main window came"
    wait_until(lambda: splash_of(app) is None, 2.0, "the splash to be unmapped", abort=app.exit_reason)
    gone_at = app.elapsed()
    assert gone_at - mapped_at < 1.0, f"the splash stayed {gone_at - mapped_at:.2f} s after the main window"
    close_app(app)


def test_without_use_splash_no_splash_and_the_window_after_a_second(menu):
    menu.write("autorun.inf", settings(Effect=2, DelaySplash=3000, Sw=640, Sh=480))
    make_picture(menu.file("qvz_splash.jpg"), 640, 480)
    app = menu.start()
    saw_splash = []

    def main_mapped():
        if splash_of(app) is not None:
            saw_splash.append(app.elapsed())
        return main_window_of(app)
    wait_until(main_mapped, LATEST_WINDOW, "the main window", abort=app.exit_reason)
    assert not saw_splash
    assert 0.9 <= app.elapsed() <= 3.0, f"main window after {app.elapsed():.2f} s"
    close_app(app)


# --- effects ---------------------------------------------------------------------------

@pytest.fixture(scope="module")
def halfway_frames():
    """Half-way frames of the effects seen so far, by name, to compare across tests."""
    return {}


@pytest.mark.parametrize("effect", range(1, 9), ids=EFFECTS[1:])
def test_each_effect_reveals_the_picture_in_its_own_way(menu, desktop, work_folder, effect, halfway_frames):
    delay = 1500
    menu.write("autorun.inf", settings(UseSplash=1, Effect=effect, DelaySplash=delay, Sw=640, Sh=480))
    make_picture(menu.file("qvz_splash.jpg"), 640, 480)
    screen = desktop.x.screen_size()
    rect = Rect((screen[0] - 640) // 2, (screen[1] - 480) // 2, 640, 480)
    before = grab(desktop, work_folder, "desktop", rect)

    app = menu.start()
    wait_splash(app)
    shown_at = time.monotonic()
    time.sleep(max(0.0, shown_at + delay / 2000 - time.monotonic()))
    halfway = grab(desktop, work_folder, "halfway", rect)
    # The effect has ended by now, and the pause keeps the last frame on the screen.
    time.sleep(max(0.0, shown_at + delay / 1000 + 0.4 - time.monotonic()))
    final = grab(desktop, work_folder, "final", rect)
    picture = screenshots.Image.load(menu.file("qvz_splash.jpg"))

    assert difference(final, picture) < 6, "the last frame is not the picture"
    assert difference(halfway, before) > 8, "half-way looks like the desktop"
    assert difference(halfway, final) > 8, "half-way looks like the finished splash"
    for other, frame in halfway_frames.items():
        assert difference(halfway, frame) > 4, f"half-way looks like {other}'s half-way"
    halfway_frames[EFFECTS[effect]] = halfway
    close_app(app)


def test_effect_none_shows_the_picture_at_once(menu, desktop, work_folder):
    menu.write("autorun.inf", settings(UseSplash=1, Effect=0, DelaySplash=3000, Sw=640, Sh=480))
    picture = make_picture(menu.file("qvz_splash.jpg"), 640, 480)
    app = menu.start()
    splash = wait_splash(app)
    # A three-second effect would still be near its start by then.
    wait_shows(desktop, work_folder, splash.geometry(), picture, 1.0, "the whole picture at once")
    close_app(app)


# --- the picture -----------------------------------------------------------------------

PICTURES = {
    # name: (picture size or None for no file, window size)
    "larger-picture-clipped": ((500, 400), (300, 250)),
    "smaller-picture-on-button-face": ((120, 90), (300, 250)),
}


@pytest.mark.parametrize("picture_size, window_size", list(PICTURES.values()), ids=list(PICTURES))
def test_picture_drawn_from_the_top_left_corner_and_clipped(menu, desktop, work_folder, picture_size, window_size):
    width, height = window_size
    menu.write("autorun.inf", settings(UseSplash=1, Effect=0, Sw=width, Sh=height))
    picture = make_picture(menu.file("qvz_splash.jpg"), *picture_size)
    app = menu.start()
    splash = wait_splash(app)
    geometry = splash.geometry()
    shown_width, shown_height = min(width, picture.width), min(height, picture.height)
    wait_shows(desktop, work_folder, Rect(geometry.x, geometry.y, shown_width, shown_height),
               picture.crop(0, 0, shown_width, shown_height), 2.0, "the picture from the top-left corner")
    shot = grab(desktop, work_folder, "splash", geometry)
    for x, y in ((width - 1, height - 1), (width - 1, 0), (0, height - 1), (width - 10, height // 2)):
        if x >= picture.width or y >= picture.height:
            assert screenshots.close_to(shot.pixel(x, y), BUTTON_FACE), (x, y, shot.pixel(x, y))
    close_app(app)


def test_missing_picture_is_reported_and_the_built_in_one_shows(menu, desktop, work_folder):
    menu.write("autorun.inf", settings(UseSplash=1, Effect=0))
    app = menu.start()
    dialog = app.wait_dialog(LATEST_SPLASH)
    expected = f'Cannot open file "{menu.file("qvz_splash.jpg")}". No such file or directory.'
    assert expected in accessibility.texts(dialog), accessibility.dump(dialog)
    app.click("OK")
    splash = wait_splash(app)
    assert (splash.geometry().width, splash.geometry().height) == (300, 250)
    built_in = screenshots.Image.load(BUILT_IN_PICTURE)
    wait_shows(desktop, work_folder, splash.geometry(), built_in.crop(0, 0, 300, 250), 2.0,
               "the built-in picture, clipped")
    close_app(app)


def test_damaged_picture_is_reported_and_start_up_goes_on(menu):
    menu.write("autorun.inf", settings(UseSplash=1, Effect=0))
    menu.write("qvz_splash.jpg", b"\x89PNG\r\n\x1a\n not a picture at all")
    app = menu.start()
    dialog = app.wait_dialog(LATEST_SPLASH)
    assert f"JPEG error #{JERR_NO_SOI}." in accessibility.texts(dialog), accessibility.dump(dialog)
    app.click("OK")
    wait_splash(app)
    close_app(app)
