"""The menu as its user meets it: pages open inside, everything else goes to the desktop.

A spy desktop (spydesktop.py) records what the program asks the desktop to open, and a
loopback HTTP server plays the web. Links are clicked with the real mouse (xdotool) at
the place where the accessibility tree says they are.
"""

import http.server
import threading
from pathlib import Path

import pytest

import accessibility
from harness import wait_until
from screenshots import close_to

TIMEOUT = 15.0
EXIT_TIMEOUT = 10.0
PAGE_BACKGROUND = (0xf4, 0xf6, 0xfb)
START_TITLE = "Start page"
BAR_COLOUR = (214, 211, 206)

# The page records right-button events its scripts see, and left clicks on a marker, as
# new buttons named "seen <event>", which the accessibility tree shows as they come.
RECORDER = """
<div id="log"></div>
<script>
function note(text) {
    const mark = document.createElement('button');
    mark.textContent = 'seen ' + text;
    document.getElementById('log').appendChild(mark);
}
for (const kind of ['mousedown', 'mouseup', 'contextmenu', 'auxclick'])
    document.addEventListener(kind, event => { if (event.button === 2) note(kind + '-right'); });
</script>
<p><button onclick="note('left')">Left marker</button></p>
"""

PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>{title}</title>
<style>body {{ background: #f4f6fb; font-family: sans-serif; margin: 8px; }} p {{ margin: 2px; }}</style>
</head><body><h1>{title}</h1>{body}</body></html>
"""

LINKS = [
    ("Second page", "page2.htm", ""),
    ("Second page in a new window", "page2.htm", ' target="_blank"'),
    ("Upper case page", "PAGE2.HTM", ""),
    ("Longer extension", "page2.html", ""),
    ("Page with query", "page2.htm?x=1", ""),
    ("Page with fragment", "page2.htm#top", ""),
    ("Guide", "guide.pdf", ""),
    ("Guide in a new window", "guide.pdf", ' target="_blank"'),
    ("Installer", "setup.sh", ""),
    ("Unknown kind", "data.qqq", ""),
    ("Missing", "gone.pdf", ""),
]


def start_page(extra=""):
    links = "".join(f'<p><a href="{href}"{attributes}>{text}</a></p>' for text, href, attributes in LINKS)
    opener = ("<p><button onclick=\"window.open('guide.pdf')\">Guide by script</button></p>")
    return PAGE.format(title=START_TITLE, body=RECORDER + links + opener + extra)


@pytest.fixture
def links_menu(menu, spy_desktop, work_folder):
    """The test menu: start page, a second page under several names, a PDF, an installer."""
    menu.write("qvz.htm", start_page())
    for name in ("page2.htm", "PAGE2.HTM", "page2.html"):
        menu.write(name, PAGE.format(title="Second page", body='<p id="top">Inside</p>'))
    menu.write("guide.pdf", b"%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\ntrailer << /Root 1 0 R >>\n%%EOF\n")
    menu.write("data.qqq", bytes(range(256)) * 4)
    ran = work_folder / "installer-ran-in.txt"
    installer = menu.write("setup.sh", f"#!/bin/sh\npwd > '{ran}'\n")
    installer.chmod(0o755)
    menu.installer_record = ran
    return menu


class Session:
    """A running menu with the means to click its page."""

    def __init__(self, app, desktop):
        self.app = app
        self.desktop = desktop
        self.window = app.wait_window(TIMEOUT)

    def node(self, role, name):
        return self.app.wait_accessible(role, name, TIMEOUT)

    def click_at(self, x, y, button=1):
        # No --sync: it waits for the pointer to move, forever when it is already there.
        self.desktop.x.run(["xdotool", "mousemove", str(int(x)), str(int(y)), "click", str(button)], check=True)

    def click(self, name, role=accessibility.LINK, button=1):
        node = self.node(role, name)
        box = wait_until(lambda: (lambda e: e if e and e[2] > 0 and e[3] > 0 else None)(accessibility.extents(node)),
                         TIMEOUT, f"the place of {name!r}", abort=self.app.exit_reason)
        self.click_at(box[0] + box[2] / 2, box[1] + box[3] / 2, button)

    def page_title(self):
        document = accessibility.find(self.app.accessible(TIMEOUT), role=accessibility.DOCUMENT_WEB)
        return accessibility.name_of(document) if document is not None else None

    def wait_page(self, title):
        return wait_until(lambda: self.page_title() == title, TIMEOUT, f"the page {title!r} in the view",
                          abort=self.app.exit_reason, describe=self.page_title)

    def seen(self):
        """What the page's scripts saw, in order."""
        application = self.app.accessible(TIMEOUT)
        return [accessibility.name_of(node).removeprefix("seen ")
                for node in accessibility.find_all(application, role=accessibility.PUSH_BUTTON)
                if (accessibility.name_of(node) or "").startswith("seen ")]

    def client_point(self, x, y):
        geometry = self.window.geometry()
        return geometry.x + x, geometry.y + y


def start(menu, desktop):
    session = Session(menu.start(), desktop)
    session.wait_page(START_TITLE)
    session.node(accessibility.HEADING, START_TITLE)
    return session


def file_uri(menu, name):
    """What a handler receives for a file of the menu: GIO hands local files over as paths."""
    return str(menu.path / name)


def wait_handed(spy_desktop, app, handler, menu, name):
    """Waits for `handler` to be given the menu's file `name`, as a path or as a file URI.

    GIO turns a file URI into a path for the handler unless the URI carries a fragment.
    """
    path = str(menu.path / name)
    wanted = {(handler, path), (handler, "file://" + path)}
    return wait_until(lambda: wanted & set(spy_desktop.opened()), TIMEOUT,
                      f"{handler} to be given {name}", abort=app.exit_reason,
                      describe=lambda: f"recorded {spy_desktop.opened()!r}")


def test_start_page_shows_in_the_view(links_menu, desktop, work_folder):
    session = start(links_menu, desktop)
    geometry = session.window.geometry()

    def painted():
        image = desktop.screenshot(work_folder / "start.png", session.window)
        return close_to(image.pixel(geometry.width - 20, geometry.height // 2), PAGE_BACKGROUND)
    wait_until(painted, TIMEOUT, "the start page's background painted in the view", abort=session.app.exit_reason)


@pytest.mark.parametrize("link", ["Second page", "Second page in a new window"])
def test_page_link_opens_inside_the_view(links_menu, desktop, spy_desktop, link):
    session = start(links_menu, desktop)
    session.click(link)
    session.wait_page("Second page")
    assert spy_desktop.opened() == []
    assert len(session.app.windows()) == 1


# (link or button, expected record of the spy desktop)
HANDED_OFF = {
    "upper-case-extension": ("Upper case page", ("browser", "PAGE2.HTM")),
    "longer-extension": ("Longer extension", ("browser", "page2.html")),
    "query": ("Page with query", ("browser", "page2.htm?x=1")),
    "fragment": ("Page with fragment", ("browser", "page2.htm#top")),
    "pdf": ("Guide", ("pdf", "guide.pdf")),
    "pdf-new-window": ("Guide in a new window", ("pdf", "guide.pdf")),
}


@pytest.mark.parametrize("link, expected", list(HANDED_OFF.values()), ids=list(HANDED_OFF))
def test_other_links_reach_the_desktop_and_the_view_stays(links_menu, desktop, spy_desktop, link, expected):
    session = start(links_menu, desktop)
    session.click(link)
    handler, name = expected
    wait_handed(spy_desktop, session.app, handler, links_menu, name)
    assert session.page_title() == START_TITLE
    assert len(session.app.windows()) == 1


def test_window_open_from_a_click_goes_through_the_same_policy(links_menu, desktop, spy_desktop):
    session = start(links_menu, desktop)
    session.click("Guide by script", role=accessibility.PUSH_BUTTON)
    spy_desktop.wait_opened(("pdf", file_uri(links_menu, "guide.pdf")), TIMEOUT, abort=session.app.exit_reason)
    assert session.page_title() == START_TITLE


def test_installer_runs_in_the_menu_folder(links_menu, desktop):
    session = start(links_menu, desktop)
    session.click("Installer")
    record = links_menu.installer_record
    wait_until(record.exists, TIMEOUT, "the installer script to run", abort=session.app.exit_reason)
    wait_until(lambda: record.read_text().strip(), TIMEOUT, "the installer to write its folder")
    assert Path(record.read_text().strip()) == links_menu.path
    assert session.page_title() == START_TITLE


def test_file_nothing_handles_brings_up_open_with(links_menu, desktop, spy_desktop):
    session = start(links_menu, desktop)
    session.click("Unknown kind")
    session.app.wait_dialog(TIMEOUT)
    assert spy_desktop.opened() == []
    assert session.page_title() == START_TITLE


def test_missing_file_opens_nothing_and_says_nothing(links_menu, desktop, spy_desktop):
    session = start(links_menu, desktop)
    session.click("Missing")
    # Then a link that does open something: once it has arrived, the first click is
    # long done.
    session.click("Guide")
    spy_desktop.wait_opened(("pdf", file_uri(links_menu, "guide.pdf")), TIMEOUT, abort=session.app.exit_reason)
    assert spy_desktop.opened() == [("pdf", file_uri(links_menu, "guide.pdf"))]
    application = session.app.accessible(TIMEOUT)
    assert accessibility.find(application, role=(accessibility.ALERT, accessibility.DIALOG)) is None
    assert session.page_title() == START_TITLE


# --- a page from the web --------------------------------------------------------------

@pytest.fixture
def web_server():
    """A loopback HTTP server; `pages` maps paths to (status, headers, body)."""
    pages = {}

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            status, headers, body = pages.get(self.path, (404, {}, b"not here"))
            self.send_response(status)
            for name, value in headers.items():
                self.send_header(name, value)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    server.pages = pages
    server.base = f"http://127.0.0.1:{server.server_address[1]}"
    try:
        yield server
    finally:
        server.shutdown()
        server.server_close()
        thread.join(5)


def test_a_web_page_cannot_open_or_run_local_files(links_menu, desktop, spy_desktop, web_server):
    guide = (links_menu.path / "guide.pdf").as_uri()
    installer = (links_menu.path / "setup.sh").as_uri()
    body = (f'<p><a href="{guide}">Local document</a></p>'
            f'<p><a href="{installer}">Local program</a></p>'
            f'<p><a href="/jump.htm">Redirect to program</a></p>'
            f'<p><button onclick="location.href=\'{installer}\'">Script to program</button></p>'
            f'<p><button onclick="window.open(\'{guide}\')">Window to document</button></p>'
            f'<p><a href="{web_server.base}/">Web address</a></p>')
    html = {"Content-Type": "text/html; charset=utf-8"}
    web_server.pages["/remote.htm"] = (200, html, PAGE.format(title="Remote page", body=body).encode())
    web_server.pages["/jump.htm"] = (302, {"Location": installer}, b"")
    links_menu.write("qvz.htm", start_page(f'<p><a href="{web_server.base}/remote.htm">Web page</a></p>'))

    session = start(links_menu, desktop)
    session.click("Web page")
    session.wait_page("Remote page")
    for name, role in (("Local document", accessibility.LINK), ("Local program", accessibility.LINK),
                       ("Redirect to program", accessibility.LINK),
                       ("Script to program", accessibility.PUSH_BUTTON),
                       ("Window to document", accessibility.PUSH_BUTTON)):
        session.click(name, role=role)
    session.click("Web address")
    spy_desktop.wait_opened(("browser", f"{web_server.base}/"), TIMEOUT, abort=session.app.exit_reason)
    assert spy_desktop.opened() == [("browser", f"{web_server.base}/")]
    assert not links_menu.installer_record.exists()
    assert session.page_title() == "Remote page"


# --- right clicks and the shortcut menu -------------------------------------------------

def showing_menu_items(app):
    application = app.accessible(TIMEOUT)
    return [accessibility.name_of(node) for node in accessibility.find_all(application, role=accessibility.MENU_ITEM)
            if "showing" in accessibility.states(node)]


def test_right_click_over_the_page_is_swallowed(links_menu, desktop):
    session = start(links_menu, desktop)
    heading = session.node(accessibility.HEADING, START_TITLE)
    x, y, width, height = accessibility.extents(heading)
    session.click_at(x + width / 2, y + height / 2, button=3)
    session.click("Left marker", role=accessibility.PUSH_BUTTON)
    wait_until(lambda: "left" in session.seen(), TIMEOUT, "the page to see the left click",
               abort=session.app.exit_reason, describe=session.seen)
    assert session.seen() == ["left"]
    assert showing_menu_items(session.app) == []


def test_status_strip_menu_offers_home_page_and_exit(links_menu, desktop, spy_desktop, work_folder):
    session = start(links_menu, desktop)
    strip = session.client_point(300, 478)

    def open_menu():
        session.click_at(*strip, button=3)
        return wait_until(lambda: showing_menu_items(session.app) or None, TIMEOUT, "the shortcut menu",
                          abort=session.app.exit_reason)

    assert open_menu() == ["Exit", "Pelmora Home page"]
    application = session.app.accessible(TIMEOUT)
    exit_item = accessibility.find(application, role=accessibility.MENU_ITEM, name="Exit")
    x, y, width, height = accessibility.extents(exit_item)
    image = desktop.screenshot(work_folder / "menu.png")
    assert close_to(image.pixel(x + 8, y + height // 2), BAR_COLOUR), image.pixel(x + 8, y + height // 2)
    assert height == 21

    session.click("Pelmora Home page", role=accessibility.MENU_ITEM)
    spy_desktop.wait_opened(("browser", "https://www.pelmora.com/"), TIMEOUT, abort=session.app.exit_reason)
    assert session.app.running and session.window.viewable()

    open_menu()
    session.click("Exit", role=accessibility.MENU_ITEM)
    assert session.app.wait_exit(EXIT_TIMEOUT) == 0


# --- nothing written ------------------------------------------------------------------

def tree(folder):
    return {str(path.relative_to(folder)) for path in Path(folder).rglob("*")}


def test_a_session_of_clicks_writes_nothing_at_home_or_in_the_menu(links_menu, desktop, spy_desktop, child_env):
    home = Path(child_env["HOME"])
    home_before = tree(home)
    menu_before = tree(links_menu.path)
    session = start(links_menu, desktop)
    session.click("Guide")
    spy_desktop.wait_opened(("pdf", file_uri(links_menu, "guide.pdf")), TIMEOUT, abort=session.app.exit_reason)
    session.click("Second page")
    session.wait_page("Second page")
    session.window.close()
    assert session.app.wait_exit(EXIT_TIMEOUT) == 0
    assert tree(home) - home_before == set()
    assert tree(links_menu.path) - menu_before == set()
