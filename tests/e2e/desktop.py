"""A private desktop for one test session: X server, window manager, session bus, AT-SPI.

Nothing is fixed: the X display number comes from the server (-displayfd), every
socket and folder lives under a fresh temporary root, and every daemon runs in a
process group of its own, so several developers can run the suite at once on one
machine. Processes started here get an environment built from scratch, never the
developer's own (no stray WAYLAND_DISPLAY, NO_AT_BRIDGE or GTK_A11Y).

Later services (a sound server with a null sink, handlers of a spy desktop) plug in
through `Desktop.spawn` and `Desktop.env` for the whole session, or through the
per-test environment dict (conftest.py's `child_env`) for one test.
"""

import atexit
import os
import secrets
import select
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

import harness
import screenshots
from xwindows import XServer

SCREEN_WIDTH = 1280
SCREEN_HEIGHT = 1024
SCREEN_DEPTH = 24

# The at-spi bus launcher is a private helper of at-spi2-core, not on PATH.
AT_SPI_BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

# How long each piece of the desktop may take to come up. Generous: the machine is shared.
START_TIMEOUT = 30.0

BASE_PATH = "/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"

# A session bus of our own. Unlike the system's session.conf this listens in our
# runtime folder and includes no machine-wide policy files.
SESSION_BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <keep_umask/>
  <listen>unix:dir={socket_dir}</listen>
  <auth>EXTERNAL</auth>
  <standard_session_servicedirs/>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


class DesktopError(RuntimeError):
    pass


def user_folders(home):
    """The environment of a user whose home is `home` (created here), XDG folders inside it."""
    home = Path(home)
    folders = {
        "HOME": home,
        "XDG_CONFIG_HOME": home / ".config",
        "XDG_DATA_HOME": home / ".local" / "share",
        "XDG_CACHE_HOME": home / ".cache",
    }
    for folder in folders.values():
        folder.mkdir(parents=True, exist_ok=True)
    return {name: str(folder) for name, folder in folders.items()}


ROOT_PREFIX = "qvz-e2e-"
OWNER_FILE = "owner"


def _process_identity(pid):
    """"pid start-time", which stays unique even when the PID is reused; None if no such process.

    A zombie counts as gone: it has ended and merely waits for its parent to notice.
    """
    try:
        with open(f"/proc/{pid}/stat") as handle:
            fields = handle.read().rsplit(")", 1)[1].split()
    except OSError:
        return None
    if fields[0] == "Z":
        return None
    return f"{pid} {fields[19]}"  # field 22 of stat, counted after the command name


def reap_orphans():
    """Ends what a killed earlier run left behind and removes its temporary root.

    A test process killed outright (a CI timeout) takes its direct children along
    (see harness.spawn), but not the accessibility bus that the bus launcher started.
    Only roots whose recorded owner is gone are touched.
    """
    for root in Path(tempfile.gettempdir()).glob(ROOT_PREFIX + "*"):
        try:
            owner = (root / OWNER_FILE).read_text().strip()
        except OSError:
            continue  # not ours, or still starting
        pid = owner.split()[0]
        if not pid.isdigit() or _process_identity(int(pid)) == owner:
            continue
        for stray in harness.processes_with_env("XDG_RUNTIME_DIR", str(root / "runtime")):
            try:
                os.kill(stray, signal.SIGKILL)
            except ProcessLookupError:
                pass
        shutil.rmtree(root, ignore_errors=True)


class Desktop:
    def __init__(self, *, keep_root=False):
        reap_orphans()
        self.root = Path(tempfile.mkdtemp(prefix=ROOT_PREFIX))
        (self.root / OWNER_FILE).write_text(_process_identity(os.getpid()) + "\n")
        self.keep_root = keep_root
        self.logs = self.root / "logs"
        self.logs.mkdir()
        self.runtime_dir = self.root / "runtime"
        self.runtime_dir.mkdir(mode=0o700)
        self.runtime_dir.chmod(0o700)  # mkdir's mode is masked by the umask
        self._processes = []  # (name, Popen) in start order
        self._saved_environ = None
        self.display = None
        self.env = None
        self.x = None
        self.a11y = None
        self.session_bus_address = None
        self.a11y_bus_address = None
        self._stopped = False
        # Covers an interrupted run whose fixtures never tear down.
        atexit.register(self.stop)

    # --- life cycle -------------------------------------------------------------

    def start(self):
        try:
            self._start_x_server()
            self._start_window_manager()
            self._start_session_bus()
            self._start_accessibility()
        except BaseException:
            self.stop()
            raise
        return self

    def stop(self):
        if self._stopped:
            return
        self._stopped = True
        for _name, process in reversed(self._processes):
            harness.stop_group(process)
        self._processes.clear()
        # D-Bus activated services (the AT-SPI registry, dconf) may sit outside the groups
        # above; they all carry our private runtime folder in their environment.
        for _attempt in range(3):
            stray = harness.processes_with_env("XDG_RUNTIME_DIR", str(self.runtime_dir))
            if not stray:
                break
            for pid in stray:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            time.sleep(0.1)
        if self._saved_environ is not None:
            os.environ.clear()
            os.environ.update(self._saved_environ)
            self._saved_environ = None
        if self.keep_root:
            # A kept root is for a person to look at; later runs must not reap it.
            (self.root / OWNER_FILE).unlink(missing_ok=True)
        else:
            shutil.rmtree(self.root, ignore_errors=True)

    def spawn(self, name, argv, *, env=None, pass_fds=(), stdout=None):
        """Starts a session-long helper in its own process group; it is ended by stop()."""
        process = harness.spawn(argv, env=env or self.env, cwd=self.root, log_stem=self.logs / name,
                                pass_fds=pass_fds, stdout=stdout)
        self._processes.append((name, process))
        return process

    def check_alive(self):
        """Raises DesktopError naming any desktop process that has died."""
        dead = [(name, p.poll()) for name, p in self._processes if p.poll() is not None]
        if dead:
            raise DesktopError(f"desktop processes died: {dead}; logs in {self.logs}")

    def screenshot(self, path, window=None):
        """Saves the screen, or one window, as PNG and returns it as a screenshots.Image."""
        return screenshots.screenshot(self.env, path, window)

    def log_files(self):
        return sorted(self.logs.glob("*"))

    # --- environments -------------------------------------------------------------

    def child_env(self, home):
        """A fresh environment for one program run: the desktop's plus a private home."""
        env = dict(self.env)
        env.update(user_folders(home))
        return env

    # --- pieces -------------------------------------------------------------------

    def _start_x_server(self):
        self.display, client_auth = start_x_server(
            self.root, "Xvfb",
            ["Xvfb", "-screen", "0", f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x{SCREEN_DEPTH}"],
            self.spawn, self.check_alive)
        self.env = {
            "PATH": BASE_PATH,
            "LANG": "C.UTF-8",
            "DISPLAY": self.display,
            "XAUTHORITY": str(client_auth),
            "XDG_RUNTIME_DIR": str(self.runtime_dir),
        }
        self.env.update(user_folders(self.root / "session-home"))
        self.x = XServer(self.env)
        harness.wait_until(self.x.answers, START_TIMEOUT, f"X server {self.display} to answer",
                           abort=self._abort_reason)

    def _start_window_manager(self):
        self.spawn("openbox", ["openbox", "--sm-disable"])
        harness.wait_until(self.x.window_manager_name, START_TIMEOUT,
                           "openbox to own the screen (_NET_SUPPORTING_WM_CHECK)",
                           abort=self._abort_reason)

    def _start_session_bus(self):
        socket_dir = self.runtime_dir / "bus"
        socket_dir.mkdir(mode=0o700)
        config = self.root / "session-bus.conf"
        config.write_text(SESSION_BUS_CONFIG.format(socket_dir=socket_dir))
        read_end, write_end = os.pipe()
        try:
            self.spawn("dbus-daemon", [
                "dbus-daemon", "--nofork", f"--config-file={config}", f"--print-address={write_end}",
            ], pass_fds=(write_end,))
            os.close(write_end)
            write_end = None
            address = _read_line(read_end, START_TIMEOUT, "dbus-daemon to print its address",
                                 self.check_alive)
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        self.session_bus_address = address.strip()
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.session_bus_address

    def _start_accessibility(self):
        self.spawn("at-spi-bus-launcher", [AT_SPI_BUS_LAUNCHER, "--launch-immediately"])
        # Ask whether the name is owned before calling it: a call to an unowned name
        # would make the bus activate a second launcher.
        harness.wait_until(lambda: self._bus_name_has_owner("org.a11y.Bus"), START_TIMEOUT,
                           "the AT-SPI bus launcher to own org.a11y.Bus", abort=self._abort_reason)
        self.a11y_bus_address = harness.wait_until(self._a11y_bus_address, START_TIMEOUT,
                                                   "the AT-SPI bus address", abort=self._abort_reason)
        # pyatspi talks to the buses of the process it runs in, so this process joins the
        # private desktop for the rest of the session; stop() puts the old values back.
        self._saved_environ = dict(os.environ)
        for name in ("DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"):
            os.environ[name] = self.env[name]
        os.environ["AT_SPI_BUS_ADDRESS"] = self.a11y_bus_address
        import accessibility  # only now: pyatspi reads the variables above when first used
        self.a11y = accessibility.Accessibility()
        harness.wait_until(self.a11y.registry_answers, START_TIMEOUT, "the AT-SPI registry to answer",
                           abort=self._abort_reason)

    def _abort_reason(self):
        dead = [(name, p.poll()) for name, p in self._processes if p.poll() is not None]
        if dead:
            logs = "; ".join(f"{name}: {_tail(self.logs / (name + '.stderr'))!r}" for name, _ in dead)
            return f"desktop processes died: {dead}: {logs}"
        return None

    def _bus_call(self, destination, path, method, *args):
        result = subprocess.run(
            ["dbus-send", "--session", "--print-reply=literal", "--reply-timeout=2000",
             f"--dest={destination}", path, method, *args],
            env=self.env, capture_output=True, text=True, timeout=10)
        return result.stdout.strip() if result.returncode == 0 else None

    def _bus_name_has_owner(self, name):
        reply = self._bus_call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus.NameHasOwner", f"string:{name}")
        return reply is not None and reply.endswith("true")

    def _a11y_bus_address(self):
        return self._bus_call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress")


def start_x_server(root, name, argv, spawn, check_alive):
    """Starts an X server (`argv` without its display or access options) with a private
    cookie and returns (display, client authority file).

    The server reads every cookie in its -auth file whatever display it names, so the
    cookie can be made before the display number is known; -displayfd lets the server
    pick a free display, so parallel runs never collide.
    """
    cookie = secrets.token_hex(16)
    server_auth = root / "xserver.auth"
    client_auth = root / "xauthority"
    subprocess.run(["xauth", "-q", "-f", str(server_auth), "add", ":0", ".", cookie],
                   check=True, capture_output=True)
    read_end, write_end = os.pipe()
    try:
        spawn(name, [*argv, "-displayfd", str(write_end), "-nolisten", "tcp",
                     "-auth", str(server_auth), "-noreset"],
              env={"PATH": BASE_PATH}, pass_fds=(write_end,))
        os.close(write_end)
        write_end = None
        number = _read_line(read_end, START_TIMEOUT, f"{name} to report its display number", check_alive)
    finally:
        os.close(read_end)
        if write_end is not None:
            os.close(write_end)
    display = f":{int(number)}"
    subprocess.run(["xauth", "-q", "-f", str(client_auth), "add", display, ".", cookie],
                   check=True, capture_output=True)
    return display, client_auth


def _read_line(fd, timeout, what, check):
    """Reads one line from a pipe, failing with a clear message after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    data = b""
    while b"\n" not in data:
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            raise DesktopError(f"timed out after {timeout:g} s waiting for {what}")
        check()
        ready, _, _ = select.select([fd], [], [], min(remaining, 0.2))
        if ready:
            chunk = os.read(fd, 4096)
            if not chunk:
                check()
                raise DesktopError(f"pipe closed while waiting for {what}")
            data += chunk
    return data.split(b"\n", 1)[0].decode()


def _tail(path, limit=500):
    try:
        return Path(path).read_text(errors="replace")[-limit:]
    except OSError:
        return ""
