"""The main window's skinned frame as a user meets it: title, size, style, theme file,
and a title bar that behaves like one under a real window manager (openbox).

Title buttons are found by their accessible names and then clicked with the real
pointer (xdotool), so hover and press go through the same path as a person's mouse.
"""

import random
import shutil
from pathlib import Path

import pytest

import accessibility
from harness import wait_until

REPOSITORY = Path(__file__).resolve().parents[2]
EXAMPLE_THEME = REPOSITORY / "examples" / "theme" / "scin.sui"

DESIGN_SIZE = (672, 489)
TITLE_BAR_HEIGHT = 32
WINDOW_TIMEOUT = 10.0
EXIT_TIMEOUT = 10.0
STATE_TIMEOUT = 5.0


# --- helpers ----------------------------------------------------------------------------

def settings(**keys):
    return "[form]\n" + "".join(f"{key}={value}\n" for key, value in keys.items())


def start(menu, **keys):
    menu.write("autorun.inf", settings(**keys))
    app = menu.start()
    window = app.wait_window(WINDOW_TIMEOUT)
    return app, window


def xdotool(desktop, *args):
    desktop.x.run(["xdotool", *[str(a) for a in args]], check=True)


def park_pointer(desktop):
    """Moves the pointer to the screen's corner, away from any window."""
    xdotool(desktop, "mousemove", 0, 0)


def size_of(window):
    geometry = window.geometry()
    return None if geometry is None else (geometry.width, geometry.height)


def title_button(app, name):
    """The screen centre of the title button called `name`, once it is on screen."""
    node = app.wait_accessible(accessibility.PUSH_BUTTON, name, WINDOW_TIMEOUT)

    def centre():
        box = accessibility.extents(node)
        if box is None or box[2] <= 0 or box[3] <= 0:
            return None
        return (box[0] + box[2] // 2, box[1] + box[3] // 2, box)
    return wait_until(centre, WINDOW_TIMEOUT, f"the extents of the {name!r} button", abort=app.exit_reason)


def click_title_button(desktop, app, name, clicks=1):
    x, y, _ = title_button(app, name)
    xdotool(desktop, "mousemove", x, y)
    xdotool(desktop, "click", "--repeat", clicks, "--delay", 80, 1)


def title_bar(desktop, window, path):
    """A screenshot of the window's title bar, the window's own pixels only."""
    picture = desktop.screenshot(path, window)
    return picture.crop(0, 0, picture.width, TITLE_BAR_HEIGHT)


def difference(first, second):
    """Mean absolute difference per channel of two pictures of one size (0-255)."""
    assert (first.width, first.height) == (second.width, second.height)
    total = 0
    for y in range(first.height):
        for x in range(first.width):
            a = first.pixel(x, y)
            b = second.pixel(x, y)
            total += abs(a[0] - b[0]) + abs(a[1] - b[1]) + abs(a[2] - b[2])
    return total / (first.width * first.height * 3)


def painted_title_bar(desktop, window, path):
    """Waits until two screenshots in a row agree, so the bar is fully painted."""
    previous = {"bar": None}

    def settled():
        bar = title_bar(desktop, window, path)
        done = previous["bar"] is not None and difference(bar, previous["bar"]) < 0.01
        previous["bar"] = bar
        return bar if done else None
    return wait_until(settled, WINDOW_TIMEOUT, "a steady title bar")


def close_and_expect_clean_exit(app, window):
    window.close()
    assert app.wait_exit(EXIT_TIMEOUT) == 0, app.stderr_tail()


# --- title ------------------------------------------------------------------------------

TITLES = {
    "caption-value": ({"Caption": "Product disc"}, "Product disc"),
    "empty-caption": ({"Caption": ""}, ""),
    "default-caption": ({}, "QVZ"),
}


@pytest.mark.parametrize("keys, expected", list(TITLES.values()), ids=list(TITLES))
def test_title_is_the_caption(menu, keys, expected):
    app, window = start(menu, **keys)
    assert window.title() == expected, window.describe()
    wait_until(lambda: expected in app.frame_names(), WINDOW_TIMEOUT, f"an accessible frame named {expected!r}",
               abort=app.exit_reason, describe=lambda: repr(app.frame_names()))
    close_and_expect_clean_exit(app, window)


def test_window_manager_draws_no_decorations(menu):
    app, window = start(menu)
    assert window.frame_extents() == (0, 0, 0, 0), window.describe()
    # The program's own title buttons stand in for the window manager's.
    for name in ("Window menu", "Close", "Maximise", "Minimise"):
        _, _, box = title_button(app, name)
        assert box[2:] == (19, 19), f"{name} is {box}"
    close_and_expect_clean_exit(app, window)


# --- size -------------------------------------------------------------------------------

SIZES = {
    "custorm-without-sizes": ({"size": "Custorm"}, (680, 523)),
    "custorm-with-sizes": ({"size": "Custorm", "sizeW": 800, "sizeh": 560}, (800, 560)),
    "custorm-below-the-minimum": ({"size": "Custorm", "sizeW": 40, "sizeh": 30}, (260, 140)),
    "custorm-below-protein-minimum": ({"size": "Custorm", "sizeW": 40, "sizeh": 30, "scin": "Protein"}, (320, 180)),
    "custom-keeps-the-design": ({"size": "Custom", "sizeW": 800, "sizeh": 560}, DESIGN_SIZE),
    "lower-case-fullscreen-keeps-the-design": ({"size": "fullscreen"}, DESIGN_SIZE),
    "absent-keeps-the-design": ({"sizeW": 800, "sizeh": 560}, DESIGN_SIZE),
}


@pytest.mark.parametrize("keys, expected", list(SIZES.values()), ids=list(SIZES))
def test_window_size(menu, keys, expected):
    app, window = start(menu, **keys)
    wait_until(lambda: size_of(window) == expected, STATE_TIMEOUT, f"a {expected} window",
               describe=window.describe)
    assert not window.states() & {"MAXIMIZED_VERT", "MAXIMIZED_HORZ"}, window.describe()
    close_and_expect_clean_exit(app, window)


def test_fullscreen_maximises_once_shown_and_ignores_the_sizes(menu, desktop):
    app, window = start(menu, size="Fullscreen", sizeW=500, sizeh=400)
    wait_until(lambda: {"MAXIMIZED_VERT", "MAXIMIZED_HORZ"} <= window.states(), STATE_TIMEOUT,
               "the window maximised", describe=window.describe)
    screen_width, _ = desktop.x.screen_size()
    wait_until(lambda: size_of(window) and size_of(window)[0] == screen_width, STATE_TIMEOUT,
               "the window as wide as the screen", describe=window.describe)
    close_and_expect_clean_exit(app, window)


# --- styles and themes ------------------------------------------------------------------

STYLES = ["MacOS", "WinXP", "DeepBlue", "Protein", "BlueGlass", "FromThemeFile"]


def style_title_bar(menu, desktop, work_folder, scin, theme=None):
    if theme is not None:
        menu.write("scin.sui", theme)
    park_pointer(desktop)
    app, window = start(menu, Caption="Styled", scin=scin)
    bar = painted_title_bar(desktop, window, work_folder / f"{scin}.png")
    close_and_expect_clean_exit(app, window)
    return bar


def test_each_style_has_its_own_title_bar_and_others_look_like_deep_blue(menu, desktop, work_folder):
    theme = EXAMPLE_THEME.read_bytes()
    bars = {scin: style_title_bar(menu, desktop, work_folder, scin, theme if scin == "FromThemeFile" else None)
            for scin in STYLES}
    for index, first in enumerate(STYLES):
        for second in STYLES[index + 1:]:
            assert difference(bars[first], bars[second]) > 10, f"{first} and {second} look alike"
    for scin in ("MacOs", "Nonsense"):
        bar = style_title_bar(menu, desktop, work_folder, scin)
        assert difference(bar, bars["DeepBlue"]) < 1, f"scin={scin} does not look like DeepBlue"


def test_status_strip_stays_deep_blue(menu, desktop, work_folder):
    strips = {}
    for scin in ("DeepBlue", "WinXP"):
        park_pointer(desktop)
        app, window = start(menu, scin=scin)
        painted_title_bar(desktop, window, work_folder / "settle.png")
        picture = desktop.screenshot(work_folder / f"{scin}-status.png", window)
        # The strip's right half: the Sound box never covers it.
        strips[scin] = picture.crop(picture.width // 2, picture.height - 19, picture.width // 2 - 2, 18)
        close_and_expect_clean_exit(app, window)
    assert difference(strips["DeepBlue"], strips["WinXP"]) < 1


DAMAGED_THEMES = {
    "empty": b"",
    "truncated": EXAMPLE_THEME.read_bytes()[:150],
    "garbage": bytes(random.Random(4).randrange(256) for _ in range(4000)),
    "unreadable-pictures": b"title-left = left.png\nclose-normal = close.png\ntitle-middle = missing.png\n",
}


@pytest.mark.parametrize("theme", list(DAMAGED_THEMES.values()), ids=list(DAMAGED_THEMES))
def test_damaged_theme_file_still_shows_the_window(menu, theme):
    menu.write("left.png", b"\x89PNG\r\n\x1a\n" + b"\x00" * 40)
    menu.write("close.png", b"not a picture at all")
    menu.write("scin.sui", theme)
    app, window = start(menu, Caption="Damaged", scin="FromThemeFile")
    assert window.title() == "Damaged"
    _, _, box = title_button(app, "Close")
    assert box[2:] == (19, 19)
    close_and_expect_clean_exit(app, window)


def test_theme_pictures_replace_the_drawn_title(menu, desktop, work_folder):
    park_pointer(desktop)
    plain = style_title_bar(menu, desktop, work_folder, "FromThemeFile", "title-top = #808080\n")
    shutil.copyfile(work_folder / "FromThemeFile.png", work_folder / "plain.png")
    # A one-colour picture made by the test: bright green where the bar was grey.
    from gi.repository import GdkPixbuf
    picture = GdkPixbuf.Pixbuf.new(GdkPixbuf.Colorspace.RGB, False, 8, 97, 32)
    picture.fill(0x00FF00FF)
    picture.savev(str(menu.file("left.png")), "png", [], [])
    pictured = style_title_bar(menu, desktop, work_folder, "FromThemeFile",
                               "title-top = #808080\ntitle-left = left.png\n")
    assert pictured.pixel(50, 20)[1] > 200 and pictured.pixel(50, 20)[0] < 60, pictured.pixel(50, 20)
    assert difference(plain, pictured) > 5


# --- title bar behaviour ----------------------------------------------------------------

def test_close_button_ends_the_program_with_exit_code_0(menu, desktop):
    app, _ = start(menu)
    click_title_button(desktop, app, "Close")
    assert app.wait_exit(EXIT_TIMEOUT) == 0, app.stderr_tail()


def test_minimise_button_iconifies_the_window(menu, desktop):
    app, window = start(menu)
    click_title_button(desktop, app, "Minimise")
    wait_until(lambda: "HIDDEN" in window.states() or not window.viewable(), STATE_TIMEOUT,
               "the window minimised", describe=window.describe)
    assert app.running
    app.kill()


def test_maximise_button_and_double_click_toggle_maximised(menu, desktop):
    app, window = start(menu)
    maximised = {"MAXIMIZED_VERT", "MAXIMIZED_HORZ"}
    click_title_button(desktop, app, "Maximise")
    wait_until(lambda: maximised <= window.states(), STATE_TIMEOUT, "maximised by the button",
               describe=window.describe)
    click_title_button(desktop, app, "Maximise")
    wait_until(lambda: not window.states() & maximised and size_of(window) == DESIGN_SIZE, STATE_TIMEOUT,
               "restored by the button", describe=window.describe)

    geometry = window.geometry()
    xdotool(desktop, "mousemove", geometry.x + geometry.width // 2, geometry.y + 12)
    xdotool(desktop, "click", "--repeat", 2, "--delay", 60, 1)
    wait_until(lambda: maximised <= window.states(), STATE_TIMEOUT, "maximised by a double click",
               describe=window.describe)
    close_and_expect_clean_exit(app, window)


def test_dragging_the_title_bar_moves_the_window(menu, desktop):
    app, window = start(menu)
    before = window.geometry()
    x, y = before.x + before.width // 2, before.y + 12
    xdotool(desktop, "mousemove", x, y)
    xdotool(desktop, "mousedown", 1)
    for step in range(1, 11):
        xdotool(desktop, "mousemove", x - 12 * step, y + 8 * step)
    xdotool(desktop, "mouseup", 1)
    wait_until(lambda: window.geometry() and abs(window.geometry().x - (before.x - 120)) <= 3
               and abs(window.geometry().y - (before.y + 80)) <= 3,
               STATE_TIMEOUT, "the window moved by the drag", describe=window.describe)
    close_and_expect_clean_exit(app, window)


def test_mouse_over_picture_shows_on_a_title_button(menu, desktop, work_folder):
    park_pointer(desktop)
    app, window = start(menu)
    x, y, box = title_button(app, "Close")
    geometry = window.geometry()
    left, top = box[0] - geometry.x, box[1] - geometry.y

    def button_picture(name):
        return desktop.screenshot(work_folder / name, window).crop(left, top, 19, 19)
    normal = wait_until(lambda: button_picture("normal.png"), STATE_TIMEOUT, "a picture of the button")
    xdotool(desktop, "mousemove", x, y)
    wait_until(lambda: difference(button_picture("hover.png"), normal) > 10, STATE_TIMEOUT,
               "the button's mouse-over picture")
    park_pointer(desktop)
    wait_until(lambda: difference(button_picture("after.png"), normal) < 1, STATE_TIMEOUT,
               "the button's normal picture again")
    close_and_expect_clean_exit(app, window)


def test_control_box_opens_the_window_menu(menu, desktop):
    app, window = start(menu)
    click_title_button(desktop, app, "Window menu")
    application = app.accessible()
    expected = ["Restore", "Move", "Minimise", "Maximise", "Close"]

    def items():
        names = [accessibility.name_of(node) for node in
                 accessibility.find_all(application, role=accessibility.MENU_ITEM)
                 if "showing" in accessibility.states(node)]
        return names if names == expected else None
    wait_until(items, STATE_TIMEOUT, f"menu items {expected}")
    item = accessibility.find(application, role=accessibility.MENU_ITEM, name="Close")
    assert accessibility.click(item)
    assert app.wait_exit(EXIT_TIMEOUT) == 0, app.stderr_tail()
