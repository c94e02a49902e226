"""Waiting, process handling and the per-test menu folder of the end-to-end suite.

Everything here is plain Python; the desktop itself (X server, window manager,
buses) lives in desktop.py, window queries in xwindows.py, accessibility queries
in accessibility.py and screenshots in screenshots.py.
"""

import ctypes
import os
import shutil
import signal
import subprocess
import time
from pathlib import Path

# Polling interval of every wait. Small enough that a measured moment is off by
# at most a few tens of milliseconds, large enough not to starve the program
# under test on a two-core machine.
POLL_INTERVAL = 0.02


class WaitTimeout(AssertionError):
    """A condition did not come true before its deadline."""


class WaitAborted(AssertionError):
    """A wait gave up early because it can no longer succeed (the program died)."""


def wait_until(predicate, timeout, what, *, interval=POLL_INTERVAL, abort=None, ignore=(), describe=None):
    """Polls `predicate` until it returns a truthy value and returns that value.

    `what` names the awaited condition for the error message. `abort`, when given, is
    called before every poll and returns a reason (a string) when waiting longer is
    pointless, for example because the program has exited. Exceptions of the types in
    `ignore` count as "not yet" and the last one is quoted if the deadline passes;
    `describe`, when given, is called then to say what was seen instead.
    """
    deadline = time.monotonic() + timeout
    last_value = None
    last_error = None
    while True:
        if abort is not None:
            reason = abort()
            if reason:
                raise WaitAborted(f"stopped waiting for {what}: {reason}")
        try:
            last_value = predicate()
            last_error = None
        except ignore as error:
            last_value = None
            last_error = error
        if last_value:
            return last_value
        if time.monotonic() >= deadline:
            detail = f"; last error: {last_error!r}" if last_error else f"; last value: {last_value!r}"
            if describe is not None:
                detail += f"; seen instead: {describe()}"
            raise WaitTimeout(f"timed out after {timeout:g} s waiting for {what}{detail}")
        time.sleep(interval)


# --- processes ---------------------------------------------------------------

_libc = ctypes.CDLL(None, use_errno=True)
_PR_SET_PDEATHSIG = 1


def _die_with_parent(parent_pid):
    """Returns a pre-exec hook that makes the child die when the test process does.

    Teardown normally ends every process; this covers the test process itself being
    killed (a CI timeout), which would otherwise leave an X server and buses behind.
    Only direct children are covered: the kernel clears the setting across fork.
    """
    def hook():
        _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL, 0, 0, 0)
        if os.getppid() != parent_pid:  # the parent died before the line above
            os._exit(1)
    return hook


def spawn(argv, *, env, cwd, log_stem, pass_fds=(), stdout=None):
    """Starts `argv` as the leader of a new process group with its output in log files.

    A process group of its own lets teardown end the program together with any helper
    it started (WebKit's web process, a sound server's children) without touching
    anybody else's processes. Returns the Popen object; `log_stem` + ".stdout" /
    ".stderr" receive the output unless `stdout` redirects standard output elsewhere.
    """
    log_stem = Path(log_stem)
    log_stem.parent.mkdir(parents=True, exist_ok=True)
    out = stdout if stdout is not None else open(f"{log_stem}.stdout", "wb")
    err = open(f"{log_stem}.stderr", "wb")
    try:
        return subprocess.Popen(
            [str(a) for a in argv], env=env, cwd=str(cwd), stdin=subprocess.DEVNULL,
            stdout=out, stderr=err, pass_fds=pass_fds, start_new_session=True,
            preexec_fn=_die_with_parent(os.getpid()))
    finally:
        if stdout is None:
            out.close()
        err.close()


def stop_group(process, *, grace=3.0, sig=signal.SIGTERM):
    """Ends a process started by `spawn` and every member of its process group.

    Sends `sig` to the group, waits up to `grace` seconds for the leader, then kills
    the group. Safe to call on a process that has already ended.
    """
    if process is None:
        return
    pgid = process.pid  # spawn() made the process its group's leader
    for signal_number, wait in ((sig, grace), (signal.SIGKILL, 5.0)):
        try:
            os.killpg(pgid, signal_number)
        except ProcessLookupError:
            pass
        try:
            process.wait(timeout=wait)
            break
        except subprocess.TimeoutExpired:
            continue
    # The leader is gone; stragglers of the group (if any) get the final word too.
    try:
        os.killpg(pgid, signal.SIGKILL)
    except ProcessLookupError:
        pass


def processes_with_env(name, value):
    """PIDs of live processes whose environment holds `name`=`value`.

    Teardown uses this with the session's private runtime folder to find processes that
    left their group (D-Bus activated services do), so they are ended too.
    """
    wanted = f"{name}={value}".encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        try:
            with open(f"/proc/{entry}/environ", "rb") as handle:
                variables = handle.read().split(b"\0")
        except OSError:
            continue
        if wanted in variables:
            found.append(int(entry))
    return found


# --- the program under test -------------------------------------------------

class App:
    """One run of the menu program."""

    def __init__(self, process, *, name, argv, cwd, log_stem, desktop):
        self.process = process
        self.pid = process.pid
        self.name = name
        self.argv = argv
        self.cwd = cwd
        self.stdout_path = Path(f"{log_stem}.stdout")
        self.stderr_path = Path(f"{log_stem}.stderr")
        self.desktop = desktop
        # Taken right before the exec, so times measured from it include start-up.
        self.started_at = None

    # process state

    @property
    def returncode(self):
        return self.process.poll()

    @property
    def running(self):
        return self.process.poll() is None

    def elapsed(self):
        """Seconds since the program was started."""
        return time.monotonic() - self.started_at

    def exit_reason(self):
        """None while running; otherwise a sentence for error messages (used as `abort`)."""
        code = self.process.poll()
        if code is None:
            return None
        return f"{self.name} (pid {self.pid}) exited with code {code}; stderr: {self.stderr_tail()!r}"

    def wait_exit(self, timeout=10.0):
        """Waits for the program to end and returns its exit code (negative: killed by a signal)."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise WaitTimeout(
                f"timed out after {timeout:g} s waiting for {self.name} (pid {self.pid}) to exit") from None

    def kill(self):
        """Kills the program and its process group at once."""
        stop_group(self.process, grace=0.0, sig=signal.SIGKILL)

    def stdout(self):
        return self.stdout_path.read_text(errors="replace") if self.stdout_path.exists() else ""

    def stderr(self):
        return self.stderr_path.read_text(errors="replace") if self.stderr_path.exists() else ""

    def stderr_tail(self, limit=2000):
        return self.stderr()[-limit:]

    # windows (X)

    def windows(self):
        """The program's top-level windows that the window manager manages, oldest first."""
        return self.desktop.x.client_windows(pid=self.pid)

    def wait_window(self, timeout=10.0, *, title=None, what=None):
        """Waits for a managed, viewable top-level window of the program and returns it.

        With `title`, only a window carrying exactly that title counts.
        """
        def found():
            for window in self.windows():
                if window.viewable() and (title is None or window.title() == title):
                    return window
            return None
        label = what or (f"a window titled {title!r}" if title is not None else "a window")
        return wait_until(found, timeout, f"{label} of {self.name} (pid {self.pid})", abort=self.exit_reason)

    # accessibility (AT-SPI)

    def accessible(self, timeout=10.0):
        """The program's AT-SPI application node, once it has registered."""
        a11y = self.desktop.a11y
        return wait_until(lambda: a11y.find_application(self.name, self.pid), timeout,
                          f"AT-SPI application {self.name!r} with pid {self.pid}",
                          abort=self.exit_reason)

    def frame_names(self):
        """Names of the program's frames (its top-level windows) in the accessibility tree."""
        import accessibility
        application = self.desktop.a11y.find_application(self.name, self.pid)
        if application is None:
            return []
        return [accessibility.name_of(node) for node in accessibility.children(application)
                if accessibility.role_of(node) == accessibility.FRAME]

    def wait_accessible(self, role, name=None, timeout=10.0, *, what=None):
        """Waits for a node with `role` (one or several role names) and `name` in the program's tree."""
        import accessibility  # loaded once the desktop has set up the buses
        deadline = time.monotonic() + timeout
        application = self.accessible(timeout)

        def found():
            return accessibility.find(application, role=role, name=name)
        label = what or (f"{role} {name!r}" if name is not None else role)
        return wait_until(found, max(0.0, deadline - time.monotonic()),
                          f"AT-SPI {label} in {self.name} (pid {self.pid})", abort=self.exit_reason)

    def wait_dialog(self, timeout=10.0):
        """Waits for a message box (role alert or dialog) of the program and returns its node."""
        import accessibility
        return self.wait_accessible((accessibility.ALERT, accessibility.DIALOG), timeout=timeout,
                                    what="a message box (alert or dialog)")

    def click(self, name, role=None, timeout=10.0):
        """Waits for the node called `name` (a push button unless `role` says otherwise) and clicks it."""
        import accessibility
        node = self.wait_accessible(role or accessibility.PUSH_BUTTON, name, timeout)
        if not accessibility.click(node):
            raise AssertionError(f"the click action of {name!r} in {self.name} failed")
        return node


class Menu:
    """A menu folder of one test: a copy of the program plus the files written beside it."""

    def __init__(self, *, folder, binary, workdir, logs, env, desktop):
        self.path = Path(folder)
        self.path.mkdir(parents=True)
        self.binary = self.path / Path(binary).name
        # A copy, not a link: the program finds its folder from its own path, and
        # resolving a link would lead it back to the build tree.
        shutil.copy2(binary, self.binary)
        self.binary.chmod(0o755)
        self.workdir = Path(workdir)
        self.workdir.mkdir(parents=True, exist_ok=True)
        # The very dict the test's environment fixtures edit; read at every start().
        self.env = env
        self.desktop = desktop
        self.apps = []
        self._logs = Path(logs)

    def file(self, name):
        return self.path / name

    def write(self, name, data, encoding="utf-8"):
        """Writes `data` (bytes as they are, text encoded with `encoding`) to `name` in the menu folder.

        Text is written without any newline translation, so "\\r\\n" stays two bytes.
        """
        target = self.path / name
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data if isinstance(data, bytes) else data.encode(encoding))
        return target

    def copy_in(self, source, name=None):
        """Copies an existing file (a picture, a tune) into the menu folder."""
        target = self.path / (name or Path(source).name)
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(source, target)
        return target

    def start(self, args=(), *, cwd=None, argv=None):
        """Starts the program and returns its App.

        The current directory is the test's work folder unless `cwd` says otherwise, never
        the menu folder, so a program that wrongly reads files relative to it fails.
        `argv` replaces the whole command, for a program started through a script that
        execs it (the process id stays the program's).
        """
        index = len(self.apps)
        log_stem = self._logs / f"{self.binary.name}-{index}"
        argv = list(argv) if argv is not None else [str(self.binary), *args]
        started_at = time.monotonic()
        process = spawn(argv, env=dict(self.env), cwd=cwd or self.workdir, log_stem=log_stem)
        app = App(process, name=self.binary.name, argv=argv, cwd=cwd or self.workdir,
                  log_stem=log_stem, desktop=self.desktop)
        app.started_at = started_at
        self.apps.append(app)
        return app

    def stop_all(self):
        for app in self.apps:
            if app.running:
                app.kill()
            else:
                stop_group(app.process, grace=0.0, sig=signal.SIGKILL)

