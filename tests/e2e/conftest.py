"""Fixtures of the end-to-end suite.

Run from the repository root:

    QVZMENU_BINARY=build/qvzmenu /usr/bin/python3 -m pytest -q tests/e2e

Session: `desktop`, one private desktop (Xvfb, openbox, D-Bus, AT-SPI) for all tests.
Per test: `menu`, a fresh menu folder with a copy of the program; `child_env`, the
environment the program will get (private home and XDG folders); `work_folder`, the
test's own scratch folder.

Where later services plug in:
- a session-long service (a sound server with a null sink) is a session fixture that
  starts its daemon with `desktop.spawn(...)` and adds its variables to `desktop.env`;
  every `child_env` made after it carries them;
- a per-test service (a spy desktop with its own XDG handlers) is a function fixture that
  takes `child_env` and edits it in place before the test calls `menu.start()`, which
  reads the dict at that moment.

On a failure the screen, the program's output, the window list and the accessibility
tree are saved under $QVZ_E2E_ARTIFACTS (default: build/e2e-artifacts in the
repository), one folder per test; the failure report names the folder.
"""

import os
import re
import shutil
import sys
import traceback
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parent))

import desktop as desktop_module  # noqa: E402
import harness  # noqa: E402

REPOSITORY = Path(__file__).resolve().parents[2]

# Files of the menu folder bigger than this are not copied into the artifacts.
ARTIFACT_FILE_LIMIT = 1 << 20

_current_desktop = None
_saved_artifacts = []


def pytest_collection_modifyitems(config, items):
    here = Path(__file__).resolve().parent
    for item in items:
        if here in Path(str(item.fspath)).resolve().parents:
            item.add_marker(pytest.mark.e2e)


# --- fixtures -------------------------------------------------------------------------

@pytest.fixture(scope="session")
def qvzmenu_binary():
    """Absolute path of the program under test, from $QVZMENU_BINARY."""
    value = os.environ.get("QVZMENU_BINARY")
    if not value:
        pytest.fail("QVZMENU_BINARY is not set: point it at the built program, e.g. "
                    "QVZMENU_BINARY=build/qvzmenu /usr/bin/python3 -m pytest tests/e2e", pytrace=False)
    path = Path(value).resolve()
    if not path.is_file() or not os.access(path, os.X_OK):
        pytest.fail(f"QVZMENU_BINARY={value} is not an executable file", pytrace=False)
    return path


@pytest.fixture(scope="session")
def desktop(qvzmenu_binary):
    """The private desktop shared by every test of the session.

    It asks for the program first so that a missing program fails fast, before an X
    server is started for nothing.
    """
    global _current_desktop
    keep = os.environ.get("QVZ_E2E_KEEP_TMP") == "1"
    session = desktop_module.Desktop(keep_root=keep)
    _current_desktop = session
    session.start()
    try:
        yield session
    finally:
        _current_desktop = None
        session.stop()


@pytest.fixture
def work_folder(desktop, request):
    """A fresh scratch folder for this test inside the session's temporary root."""
    base = desktop.root / "tests"
    base.mkdir(exist_ok=True)
    stem = _safe_name(request.node.name)[:80]
    folder = base / stem
    counter = 1
    while folder.exists():
        counter += 1
        folder = base / f"{stem}-{counter}"
    folder.mkdir()
    return folder


@pytest.fixture
def child_env(desktop, work_folder):
    """The environment of programs started by this test; fixtures may edit it in place."""
    return desktop.child_env(work_folder / "home")


# --- services a test may add -------------------------------------------------------------
#
# The sound server (PulseAudio with a null sink, recorded from its monitor) belongs here
# as a session fixture taking `desktop`: it runs `pulseaudio --daemonize=no ...` through
# `desktop.spawn` so teardown ends it, and sets PULSE_SERVER in `desktop.env`.
# The spy desktop (handlers that record what the program asks the desktop to open)
# belongs here as a function fixture taking `child_env` and `work_folder`: it writes its
# .desktop files and mimeapps.list under the test's XDG folders named in `child_env`,
# and sets XDG_DATA_DIRS there when system handlers must not answer.


@pytest.fixture(scope="session")
def sound_server(desktop):
    """PulseAudio with a null sink named "null", for the whole session.

    Its address is put in `desktop.env` as PULSE_SERVER, so every `child_env` made after
    it reaches this server. Tests that hear the program take it before `menu`.
    """
    import sound
    return sound.SoundServer(desktop).start()


@pytest.fixture
def spy_desktop(child_env, work_folder):
    """Handlers that record what the program asks the desktop to open (spydesktop.py)."""
    import spydesktop
    return spydesktop.SpyDesktop(work_folder / "spy", child_env)


@pytest.fixture
def menu(qvzmenu_binary, desktop, work_folder, child_env):
    """A menu folder holding a copy of the program; `menu.start()` runs it."""
    folder = harness.Menu(folder=work_folder / "menu", binary=qvzmenu_binary, workdir=work_folder / "cwd",
                          logs=work_folder / "logs", env=child_env, desktop=desktop)
    try:
        yield folder
    finally:
        folder.stop_all()


# --- failure artifacts ----------------------------------------------------------------

def _safe_name(text):
    return re.sub(r"[^A-Za-z0-9_.-]+", "_", text).strip("_") or "test"


def _artifacts_root():
    configured = os.environ.get("QVZ_E2E_ARTIFACTS")
    return Path(configured) if configured else REPOSITORY / "build" / "e2e-artifacts"


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    if report.when not in ("setup", "call") or not report.failed:
        return
    folder = _save_artifacts(item, report.when)
    menu = item.funcargs.get("menu")
    for app in getattr(menu, "apps", []):
        tail = app.stderr_tail()
        if tail:
            report.sections.append((f"{app.stderr_path.stem} stderr", tail))
    if folder is not None:
        report.sections.append(("e2e artifacts", f"saved in {folder}"))


def pytest_terminal_summary(terminalreporter):
    if _saved_artifacts:
        terminalreporter.section("e2e artifacts")
        for folder in _saved_artifacts:
            terminalreporter.line(str(folder))


def _save_artifacts(item, when):
    """Copies what helps to understand a failure; never raises."""
    session = item.funcargs.get("desktop") or _current_desktop
    menu = item.funcargs.get("menu")
    if session is None and menu is None:
        return None  # failed before anything ran: nothing to keep
    folder = _artifacts_root() / _safe_name(item.nodeid)
    problems = []

    def attempt(label, action):
        try:
            action()
        except Exception:  # collecting evidence must not hide the real failure
            problems.append(f"{label}:\n{traceback.format_exc()}")

    try:
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
    except OSError:
        return None
    (folder / "failed-in.txt").write_text(f"{item.nodeid} failed during {when}\n")
    if session is not None and session.x is not None:
        attempt("screenshot", lambda: session.screenshot(folder / "screen.png"))
        attempt("windows", lambda: (folder / "windows.txt").write_text(_describe_windows(session, menu)))
        if session.a11y is not None:
            attempt("accessibility",
                    lambda: (folder / "accessibility.txt").write_text(session.a11y.dump_all() + "\n"))
    if menu is not None:
        attempt("program output", lambda: _copy_program_output(menu, folder))
        attempt("menu folder", lambda: _copy_menu_folder(menu, folder / "menu"))
    if session is not None:
        attempt("desktop logs", lambda: _copy_files(session.log_files(), folder / "desktop-logs"))
    if problems:
        (folder / "collect-errors.txt").write_text("\n".join(problems))
    _saved_artifacts.append(folder)
    return folder


def _describe_windows(session, menu):
    lines = [f"display {session.display}, window manager {session.x.window_manager_name()!r}",
             "managed windows:"]
    lines += [f"  {window.describe()}" for window in session.x.client_list()]
    for app in getattr(menu, "apps", []):
        lines.append(f"all windows of {app.name} pid {app.pid}:")
        lines += [f"  {window.describe()}" for window in session.x.windows_of(app.pid)]
    return "\n".join(lines) + "\n"


def _copy_program_output(menu, folder):
    summary = []
    for app in menu.apps:
        summary.append(f"{app.stdout_path.stem}: argv={app.argv} cwd={app.cwd} pid={app.pid} "
                       f"returncode={app.returncode} running-for={app.elapsed():.2f}s")
        _copy_files([app.stdout_path, app.stderr_path], folder)
    (folder / "programs.txt").write_text("\n".join(summary) + "\n")


def _copy_menu_folder(menu, target):
    for path in sorted(menu.path.rglob("*")):
        if path.is_file() and path != menu.binary and path.stat().st_size <= ARTIFACT_FILE_LIMIT:
            destination = target / path.relative_to(menu.path)
            destination.parent.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(path, destination)


def _copy_files(paths, target):
    target.mkdir(parents=True, exist_ok=True)
    for path in paths:
        if Path(path).is_file():
            shutil.copyfile(path, target / Path(path).name)
