"""Top-level windows as the X server and the window manager see them.

Queries go through the standard X utilities (xprop, xwininfo, xdotool, wmctrl) so
that what a test checks is what any other X client would see. A window that
disappears between two queries is not an error: its queries return None.
"""

import re
import subprocess
from dataclasses import dataclass

TOOL_TIMEOUT = 10.0


@dataclass(frozen=True)
class Rect:
    x: int
    y: int
    width: int
    height: int

    @property
    def centre(self):
        return (self.x + self.width / 2, self.y + self.height / 2)


class XServer:
    def __init__(self, env):
        self.env = env

    def run(self, argv, *, check=False):
        """Runs an X utility against this display; returns the CompletedProcess (text)."""
        return subprocess.run(argv, env=self.env, capture_output=True, text=True,
                              timeout=TOOL_TIMEOUT, check=check)

    def answers(self):
        return self.run(["xprop", "-root", "-notype", "_NET_SUPPORTED"]).returncode == 0

    def root(self):
        return Window(self, "root")

    def screen_size(self):
        geometry = self.root().geometry()
        return (geometry.width, geometry.height)

    def window_manager_name(self):
        """Name of the EWMH window manager once it has taken the screen, else None."""
        root = self.root()
        check = root.cardinals("_NET_SUPPORTING_WM_CHECK", "32x")
        if not check:
            return None
        child = Window(self, hex(check[0]))
        # The property must point at a window that points at itself; otherwise it is left
        # over from a window manager that has gone.
        if child.cardinals("_NET_SUPPORTING_WM_CHECK", "32x") != check:
            return None
        return child.title() or "unnamed window manager"

    def client_list(self):
        """Windows the window manager manages (_NET_CLIENT_LIST), oldest first."""
        numbers = self.root().cardinals("_NET_CLIENT_LIST", "32x") or []
        return [Window(self, hex(number)) for number in numbers]

    def client_windows(self, pid=None):
        """Managed top-level windows, only those of process `pid` when given."""
        windows = self.client_list()
        if pid is None:
            return windows
        return [window for window in windows if window.pid() == pid]

    def windows_of(self, pid):
        """Every window carrying _NET_WM_PID = `pid`, managed or not (e.g. override-redirect popups)."""
        result = self.run(["xdotool", "search", "--pid", str(pid)])
        return [Window(self, hex(int(line))) for line in result.stdout.split() if line.isdigit()]

    def active_window(self):
        ids = self.root().cardinals("_NET_ACTIVE_WINDOW", "32x")
        return Window(self, hex(ids[0])) if ids and ids[0] else None


class Window:
    def __init__(self, server, window_id):
        self.server = server
        self.id = window_id  # "0x1e00007", or "root"

    def __repr__(self):
        return f"Window({self.id})"

    def __eq__(self, other):
        return isinstance(other, Window) and self.id == other.id

    def __hash__(self):
        return hash(self.id)

    def _xprop(self, *args):
        target = ["-root"] if self.id == "root" else ["-id", self.id]
        result = self.server.run(["xprop", *target, "-notype", *args])
        return result.stdout if result.returncode == 0 else None

    # properties

    def property_bytes(self, name):
        """The raw bytes of an 8-bit property, or None when the property or window is missing."""
        text = self._xprop("-f", name, "8x", name)
        if text is None:
            return None
        match = re.match(rf"^{re.escape(name)}\s*=\s*(.*)$", text.strip(), re.S)
        if not match:
            return None  # "NAME:  not found."
        values = match.group(1).strip()
        if not values:
            return b""
        return bytes(int(value, 16) for value in values.split(","))

    def cardinals(self, name, fmt="32c"):
        """An integer-list property (CARDINAL or WINDOW), or None when missing."""
        text = self._xprop("-f", name, fmt, name)
        if text is None:
            return None
        match = re.match(rf"^{re.escape(name)}\s*(?:\([^)]*\))?\s*[=:]\s*(.*)$", text.strip(), re.S)
        if not match or "not found" in match.group(1) or "no such atom" in match.group(1):
            return None
        numbers = re.findall(r"0x[0-9a-fA-F]+|\d+", match.group(1))
        return [int(number, 0) for number in numbers]

    def atoms(self, name):
        """An ATOM-list property as atom names, or None when missing."""
        text = self._xprop("-f", name, "32a", name)
        if text is None:
            return None
        match = re.match(rf"^{re.escape(name)}\s*=\s*(.*)$", text.strip(), re.S)
        if not match:
            return None
        return [atom.strip() for atom in match.group(1).split(",") if atom.strip()]

    def pid(self):
        values = self.cardinals("_NET_WM_PID")
        return values[0] if values else None

    def title(self):
        """The EWMH title (_NET_WM_NAME, UTF-8), or None when the window has none."""
        raw = self.property_bytes("_NET_WM_NAME")
        return None if raw is None else raw.decode("utf-8", errors="replace")

    def legacy_title(self):
        """The ICCCM title (WM_NAME) as raw bytes; its encoding depends on its type."""
        return self.property_bytes("WM_NAME")

    def wm_class(self):
        raw = self.property_bytes("WM_CLASS")
        return None if raw is None else [part.decode(errors="replace") for part in raw.split(b"\0") if part]

    def states(self):
        """_NET_WM_STATE without its prefix, e.g. {"MAXIMIZED_VERT", "HIDDEN"}."""
        atoms = self.atoms("_NET_WM_STATE") or []
        return {atom.removeprefix("_NET_WM_STATE_") for atom in atoms}

    def window_type(self):
        return {atom.removeprefix("_NET_WM_WINDOW_TYPE_") for atom in self.atoms("_NET_WM_WINDOW_TYPE") or []}

    def frame_extents(self):
        """(left, right, top, bottom) of the window manager's frame; zeros when undecorated."""
        values = self.cardinals("_NET_FRAME_EXTENTS")
        return tuple(values) if values and len(values) == 4 else (0, 0, 0, 0)

    # geometry

    def info(self):
        """xwininfo's fields as a dict of strings, or None when the window is gone."""
        target = ["-root"] if self.id == "root" else ["-id", self.id]
        result = self.server.run(["xwininfo", *target])
        if result.returncode != 0:
            return None
        fields = {}
        for line in result.stdout.splitlines():
            key, separator, value = line.strip().partition(":")
            if separator:
                fields[key.strip()] = value.strip()
        return fields

    def geometry(self):
        """The client area (this window, without frame) in root coordinates, or None."""
        fields = self.info()
        if fields is None:
            return None
        return Rect(int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
                    int(fields["Width"]), int(fields["Height"]))

    def outer_geometry(self):
        """The window with the window manager's frame around it, or None."""
        client = self.geometry()
        if client is None:
            return None
        left, right, top, bottom = self.frame_extents()
        return Rect(client.x - left, client.y - top,
                    client.width + left + right, client.height + top + bottom)

    def map_state(self):
        """"IsViewable", "IsUnMapped", "IsUnviewable", or None when the window is gone."""
        fields = self.info()
        return None if fields is None else fields.get("Map State")

    def viewable(self):
        return self.map_state() == "IsViewable"

    def exists(self):
        return self.info() is not None

    # actions through the window manager

    def close(self):
        """Asks the window manager to close the window (it sends WM_DELETE_WINDOW)."""
        self.server.run(["wmctrl", "-i", "-c", self.id], check=True)

    def activate(self):
        self.server.run(["wmctrl", "-i", "-a", self.id], check=True)

    def describe(self):
        """One line for failure reports."""
        title = self.title()
        if title is not None and len(title) > 80:
            title = f"{title[:60]}...({len(title)} characters)"
        return (f"{self.id} pid={self.pid()} title={title!r} geometry={self.geometry()} "
                f"frame={self.frame_extents()} state={sorted(self.states())} map={self.map_state()}")
