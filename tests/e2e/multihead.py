"""A second, separate X server with two monitors side by side, for the tests that need them.

The session desktop runs on Xvfb, whose only RandR output is "screen". GTK lists a
monitor only when it holds an output, and an output belongs to one monitor only, so
Xvfb cannot show GTK two monitors. Xorg with the dummy video driver has sixteen
outputs (DUMMY0 ... DUMMY15); two of them, each given a mode of its own, become two
monitors that GTK reports with exactly the geometry set here.

The server lives only as long as its fixture. It borrows the session desktop's buses
(D-Bus, AT-SPI), which do not depend on the display, so a program started on it can be
driven through the accessibility tree as usual; only DISPLAY and XAUTHORITY differ.
"""

import shutil
from pathlib import Path

import harness
import screenshots
from desktop import BASE_PATH, START_TIMEOUT, DesktopError, _tail, start_x_server, user_folders
from xwindows import XServer

DUMMY_DRIVER = Path("/usr/lib/xorg/modules/drivers/dummy_drv.so")

# The framebuffer stays bigger than the monitors, so that "centred on the monitors"
# and "centred on the screen" are different places.
FRAMEBUFFER = (1280, 1024)

# Only this file is read: an empty config folder keeps the machine's xorg.conf.d out,
# and without input hot-plugging the server never looks for real devices.
XORG_CONFIG = """Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "AutoAddGPU" "false"
  Option "DontVTSwitch" "true"
EndSection

Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection

Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
EndSection

Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual {width} {height}
  EndSubSection
EndSection
"""


def unavailable_reason():
    """Why this machine cannot run the server (a sentence), or None when it can."""
    if shutil.which("Xorg", path=BASE_PATH) is None:
        return "Xorg is not installed (Debian package xserver-xorg-core)"
    if not DUMMY_DRIVER.is_file():
        return "the dummy video driver is not installed (Debian package xserver-xorg-video-dummy)"
    return None


def modeline(width, height):
    """An xrandr --newmode timing for `width` x `height`; the dummy driver only checks its ranges."""
    clock_mhz = 20.0
    return [f"{clock_mhz:.2f}",
            str(width), str(width + 10), str(width + 20), str(width + 30),
            str(height), str(height + 5), str(height + 10), str(height + 15)]


class TwoMonitorDesktop:
    """Xorg (dummy driver) plus openbox, with the monitors `monitors` as (x, y, width, height).

    Offers what harness.Menu and harness.App use of a desktop: `x` for window queries on
    this display, `a11y` (the session's), `env` and `screenshot`.
    """

    def __init__(self, session, folder, monitors):
        self.session = session
        self.root = Path(folder)
        self.root.mkdir(parents=True)
        self.logs = self.root / "logs"
        self.logs.mkdir()
        self.monitors = list(monitors)
        self.a11y = session.a11y
        self.display = None
        self.env = None
        self.x = None
        self._processes = []

    def start(self):
        try:
            self._start_x_server()
            self._set_monitors()
            self._start_window_manager()
        except BaseException:
            self.stop()
            raise
        return self

    def stop(self):
        for _name, process in reversed(self._processes):
            harness.stop_group(process)
        self._processes.clear()

    def program_env(self, env):
        """Points an environment of the session desktop at this display instead, in place."""
        env["DISPLAY"] = self.display
        env["XAUTHORITY"] = self.env["XAUTHORITY"]
        return env

    def screenshot(self, path, window=None):
        return screenshots.screenshot(self.env, path, window)

    # --- pieces -------------------------------------------------------------------

    def _spawn(self, name, argv, *, env, pass_fds=()):
        process = harness.spawn(argv, env=env, cwd=self.root, log_stem=self.logs / name, pass_fds=pass_fds)
        self._processes.append((name, process))
        return process

    def _start_x_server(self):
        config = self.root / "xorg.conf"
        config.write_text(XORG_CONFIG.format(width=FRAMEBUFFER[0], height=FRAMEBUFFER[1]))
        config_folder = self.root / "xorg.conf.d"
        config_folder.mkdir()
        self.display, client_auth = start_x_server(
            self.root, "Xorg",
            ["Xorg", "-config", str(config), "-configdir", str(config_folder),
             "-logfile", str(self.logs / "Xorg.log"),
             "-novtswitch", "-sharevts", "+extension", "RANDR"],
            self._spawn, self._check_alive)
        self.env = {
            "PATH": BASE_PATH,
            "LANG": "C.UTF-8",
            "DISPLAY": self.display,
            "XAUTHORITY": str(client_auth),
            "XDG_RUNTIME_DIR": self.session.env["XDG_RUNTIME_DIR"],
        }
        self.env.update(user_folders(self.root / "home"))
        self.x = XServer(self.env)
        harness.wait_until(self.x.answers, START_TIMEOUT, f"Xorg {self.display} to answer",
                           abort=self._abort_reason)

    def _set_monitors(self):
        """Gives output DUMMY<n> the n-th monitor: a mode of its size at its place."""
        argv = ["xrandr", "--fb", f"{FRAMEBUFFER[0]}x{FRAMEBUFFER[1]}"]
        for index, (x, y, width, height) in enumerate(self.monitors):
            mode = f"qvz-{width}x{height}"
            output = f"DUMMY{index}"
            self._xrandr(["--newmode", mode, *modeline(width, height)])
            self._xrandr(["--addmode", output, mode])
            argv += ["--output", output, "--mode", mode, "--pos", f"{x}x{y}"]
        self._xrandr(argv[1:])
        listed = self.x.run(["xrandr", "--listmonitors"]).stdout
        if not listed.startswith(f"Monitors: {len(self.monitors)}\n"):
            raise DesktopError(f"Xorg {self.display} does not list the monitors set:\n{listed}")

    def _xrandr(self, args):
        result = self.x.run(["xrandr", *args])
        if result.returncode != 0:
            raise DesktopError(f"xrandr {' '.join(args)} failed on {self.display}: {result.stderr.strip()}")

    def _start_window_manager(self):
        self._spawn("openbox", ["openbox", "--sm-disable"], env=self.env)
        harness.wait_until(self.x.window_manager_name, START_TIMEOUT,
                           f"openbox to own the screen of {self.display}", abort=self._abort_reason)

    def _check_alive(self):
        reason = self._abort_reason()
        if reason:
            raise DesktopError(reason)

    def _abort_reason(self):
        dead = [(name, p.poll()) for name, p in self._processes if p.poll() is not None]
        if dead:
            logs = "; ".join(f"{name}: {_tail(self.logs / (name + '.stderr'))!r}" for name, _ in dead)
            return f"processes of the two-monitor desktop died: {dead}: {logs}"
        return None
