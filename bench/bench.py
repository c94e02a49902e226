#!/usr/bin/env python3
"""Start-up, memory and idle figures of the launcher beside its peers.

Runs on a private desktop (the end-to-end suite's Xvfb + openbox), interleaving the
subjects run by run so that the machine's noise falls on all of them alike:

- qvzmenu: the launcher in a temporary menu folder, start page only;
- bare: bench/bare_window, a plain GTK 3 + WebKitGTK window loading the same page;
- chromium: Chromium in --app mode on the same page, when it is installed.

Times are taken from outside: X map events on the root window, and the first moment
the page's colour appears on screen (read back from the X server every 2 ms).
Usage: bench.py --binary BUILD/qvzmenu --bare BUILD/bench/bare_window [--runs N]
Prints one table and writes bench/results.md and bench/results.png.
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
REPOSITORY = HERE.parent
sys.path.insert(0, str(REPOSITORY / "tests" / "e2e"))

import desktop as desktop_module  # noqa: E402
import harness  # noqa: E402
import sound  # noqa: E402
from Xlib import X, display as xdisplay  # noqa: E402

PAGE_COLOUR = (0x1E, 0x8C, 0x5A)
PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Bench page</title>
<style>html,body{margin:0;height:100%;background:#1e8c5a;color:#fff;font-family:sans-serif}</style>
</head><body><h1>Bench page</h1><p><a href="doc.pdf">A document</a></p></body></html>
"""
CAPTION = "QVZ bench"
STARTUP_PAUSE_MS = 1000
IDLE_SECONDS = 10.0
IDLE_SETTLE_SECONDS = 5.0


# --- processes -----------------------------------------------------------------------

def descendants(pid):
    children = {}
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            fields = (entry / "stat").read_text().rsplit(")", 1)[1].split()
        except OSError:
            continue
        children.setdefault(int(fields[1]), []).append(int(entry.name))
    tree, stack = [], [pid]
    while stack:
        current = stack.pop()
        tree.append(current)
        stack.extend(children.get(current, []))
    return tree


def tree_pss_mb(pid):
    total_kb = 0
    for member in descendants(pid):
        try:
            for line in Path(f"/proc/{member}/smaps_rollup").read_text().splitlines():
                if line.startswith("Pss:"):
                    total_kb += int(line.split()[1])
        except OSError:
            pass
    return total_kb / 1024.0


def tree_cpu_seconds(pid):
    ticks = 0
    for member in descendants(pid):
        try:
            fields = Path(f"/proc/{member}/stat").read_text().rsplit(")", 1)[1].split()
            ticks += int(fields[11]) + int(fields[12])
        except OSError:
            pass
    return ticks / os.sysconf("SC_CLK_TCK")


def idle_cpu_percent(pid, seconds=IDLE_SECONDS):
    before = tree_cpu_seconds(pid)
    time.sleep(seconds)  # a measurement window, not a wait for a condition
    return 100.0 * (tree_cpu_seconds(pid) - before) / seconds


# --- the screen ----------------------------------------------------------------------

class Screen:
    """Watches top-level maps and reads pixels back from the X server."""

    def __init__(self, display_name):
        self.display = xdisplay.Display(display_name)
        self.root = self.display.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.atom_pid = self.display.intern_atom("_NET_WM_PID")
        self.atom_name = self.display.intern_atom("_NET_WM_NAME")
        self.atom_utf8 = self.display.intern_atom("UTF8_STRING")

    def drain(self):
        while self.display.pending_events():
            self.display.next_event()

    def _client_of(self, window):
        """The managed client inside a window-manager frame, or the window itself."""
        candidates = [window]
        try:
            candidates += window.query_tree().children
        except Exception:
            return None
        for candidate in candidates:
            try:
                pid = candidate.get_full_property(self.atom_pid, X.AnyPropertyType)
            except Exception:
                continue
            if pid:
                return candidate, pid.value[0]
        return None

    def title(self, window):
        try:
            prop = window.get_full_property(self.atom_name, self.atom_utf8)
            return prop.value.decode("utf-8", "replace") if prop else ""
        except Exception:
            return ""

    def wait_map(self, pids, deadline, accept=lambda client, title: True):
        """Time of the first map of a top-level window of one of pids that `accept`s."""
        while time.monotonic() < deadline:
            if not self.display.pending_events():
                time.sleep(0.0005)
                continue
            event = self.display.next_event()
            if event.type != X.MapNotify:
                continue
            stamp = time.monotonic()
            found = self._client_of(event.window)
            if not found:
                continue
            client, pid = found
            if pid in pids() and accept(client, self.title(client)):
                return stamp, client, self.title(client)
        raise TimeoutError("no window was mapped")

    def centre_colour(self, client):
        geometry = client.get_geometry()
        position = client.translate_coords(self.root, 0, 0)
        x = -position.x + geometry.width // 2
        y = -position.y + geometry.height * 2 // 3
        image = self.root.get_image(x, y, 1, 1, X.ZPixmap, 0xFFFFFFFF)
        blue, green, red = image.data[0], image.data[1], image.data[2]
        return red, green, blue

    def wait_colour(self, client, colour, deadline, tolerance=6):
        while time.monotonic() < deadline:
            try:
                seen = self.centre_colour(client)
            except Exception:
                seen = None
            if seen and all(abs(a - b) <= tolerance for a, b in zip(seen, colour)):
                return time.monotonic()
            time.sleep(0.002)
        raise TimeoutError("the page was never painted")


# --- subjects --------------------------------------------------------------------------

class Subject:
    name = ""

    def __init__(self, desktop, screen, work):
        self.desktop, self.screen, self.work = desktop, screen, work

    def env(self, run):
        home = self.work / f"home-{self.name}-{run}"
        return self.desktop.child_env(home)

    def measure(self, run, idle=False):
        folder, argv, accept_main, fixed_ms = self.prepare(run)
        env = self.env(run)
        self.screen.drain()
        start = time.monotonic()
        process = subprocess.Popen(argv, cwd=self.work, env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, start_new_session=True)
        try:
            pids = lambda: set(descendants(process.pid))  # noqa: E731
            deadline = start + 30
            first_map, client, title = self.screen.wait_map(pids, deadline)
            if accept_main(client, title):
                main_map = first_map
            else:
                main_map, client, _ = self.screen.wait_map(pids, deadline, accept_main)
            figures = {
                "exec_to_first_map_ms": (first_map - start) * 1000,
                "exec_to_main_map_ms": (main_map - start) * 1000 - fixed_ms,
            }
            try:
                painted = self.screen.wait_colour(client, PAGE_COLOUR, main_map + 15)
                figures["map_to_painted_ms"] = (painted - main_map) * 1000
                figures["exec_to_painted_ms"] = (painted - start) * 1000
            except TimeoutError:
                pass
            time.sleep(1.0)  # let late start-up work settle before reading memory
            figures["pss_mb"] = tree_pss_mb(process.pid)
            if idle:
                # The web engine finishes its own start-up for a few seconds
                # after the first paint; idle means after that.
                time.sleep(IDLE_SETTLE_SECONDS)
                figures["idle_cpu_percent"] = idle_cpu_percent(process.pid)
            return figures
        finally:
            harness.stop_group(process)
            if folder:
                shutil.rmtree(folder, ignore_errors=True)


class Launcher(Subject):
    name = "qvzmenu"

    def __init__(self, *args, binary, settings="", extra_files=None, label=None):
        super().__init__(*args)
        self.binary, self.settings, self.extra = binary, settings, extra_files or {}
        if label:
            self.name = label

    def prepare(self, run):
        folder = Path(tempfile.mkdtemp(prefix=f"menu-{self.name}-", dir=self.work))
        shutil.copy2(self.binary, folder / "qvzmenu")
        (folder / "qvz.htm").write_text(PAGE)
        (folder / "autorun.inf").write_text(f"[form]\nCaption={CAPTION}\n{self.settings}")
        for name, source in self.extra.items():
            shutil.copy2(source, folder / name)
        accept = lambda client, title: title == CAPTION  # noqa: E731
        return folder, [str(folder / "qvzmenu")], accept, STARTUP_PAUSE_MS


class Bare(Subject):
    name = "bare"

    def __init__(self, *args, binary):
        super().__init__(*args)
        self.binary = binary

    def prepare(self, run):
        page = self.work / "bare.htm"
        page.write_text(PAGE)
        return None, [str(self.binary), str(page)], (lambda client, title: True), 0


class Chromium(Subject):
    name = "chromium"

    def __init__(self, *args, binary):
        super().__init__(*args)
        self.binary = binary

    def prepare(self, run):
        page = self.work / "chromium.htm"
        page.write_text(PAGE)
        profile = Path(tempfile.mkdtemp(prefix="chromium-profile-", dir=self.work))
        argv = [self.binary, "--no-sandbox", "--disable-gpu", "--no-first-run",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                f"--user-data-dir={profile}", "--window-size=672,489", f"--app=file://{page}"]
        return profile, argv, (lambda client, title: True), 0


# --- figures ---------------------------------------------------------------------------

def summary(values):
    values = [v for v in values if v is not None]
    if not values:
        return None
    return {"median": statistics.median(values), "min": min(values), "max": max(values), "n": len(values)}


def fmt(stat, unit=""):
    if not stat:
        return "—"
    return f"{stat['median']:.1f}{unit} ({stat['min']:.1f}–{stat['max']:.1f})"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--bare", required=True)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--music", help="a sound file for the idle-with-music run")
    parser.add_argument("--out", default=str(HERE))
    options = parser.parse_args()

    work = Path(tempfile.mkdtemp(prefix="qvz-bench-"))
    desktop = desktop_module.Desktop().start()
    try:
        # A real sound server for the music run; every program started later reaches it.
        sound.SoundServer(desktop).start()
        screen = Screen(desktop.env["DISPLAY"])
        subjects = [Launcher(desktop, screen, work, binary=os.path.abspath(options.binary)),
                    Bare(desktop, screen, work, binary=os.path.abspath(options.bare))]
        chromium = shutil.which("chromium")
        if chromium:
            subjects.append(Chromium(desktop, screen, work, binary=chromium))
        figures = {subject.name: [] for subject in subjects}
        for run in range(options.runs):
            for subject in subjects:
                figures[subject.name].append(subject.measure(run, idle=(run == 0)))
        music_idle = None
        if options.music:
            with_music = Launcher(desktop, screen, work, binary=os.path.abspath(options.binary),
                                  settings=f"music=1\nmusicfile={Path(options.music).name}\n",
                                  extra_files={Path(options.music).name: options.music},
                                  label="qvzmenu+music")
            music_idle = with_music.measure(0, idle=True).get("idle_cpu_percent")
    finally:
        desktop.stop()
        shutil.rmtree(work, ignore_errors=True)

    keys = ["exec_to_first_map_ms", "exec_to_main_map_ms", "map_to_painted_ms", "exec_to_painted_ms",
            "pss_mb", "idle_cpu_percent"]
    table = {name: {key: summary([run.get(key) for run in runs]) for key in keys}
             for name, runs in figures.items()}
    if music_idle is not None:
        table["qvzmenu"]["idle_cpu_with_music_percent"] = summary([music_idle])
    write_report(table, Path(options.out), options.runs)


LABELS = {
    "exec_to_first_map_ms": ("exec → first window mapped", " ms"),
    "exec_to_main_map_ms": ("exec → main window mapped (less the 1 s pause)", " ms"),
    "map_to_painted_ms": ("main window mapped → page painted", " ms"),
    "exec_to_painted_ms": ("exec → page painted", " ms"),
    "pss_mb": ("memory of the process tree (PSS)", " MB"),
    "idle_cpu_percent": ("idle CPU over 10 s, from 6 s after the paint", " %"),
    "idle_cpu_with_music_percent": ("idle CPU over 10 s, music looping", " %"),
}


def write_report(table, out, runs):
    names = list(table)
    lines = ["# Benchmark results", "",
             f"Median (min–max) over {runs} interleaved runs on a private Xvfb desktop; "
             "idle figures from one run each.", "",
             "| figure | " + " | ".join(names) + " | qvzmenu / bare | qvzmenu / chromium |",
             "|---|" + "---|" * (len(names) + 2)]
    for key, (label, unit) in LABELS.items():
        row = [table[name].get(key) for name in names]
        if not any(row):
            continue
        ratios = []
        for peer in ("bare", "chromium"):
            mine, theirs = table["qvzmenu"].get(key), table.get(peer, {}).get(key)
            ratios.append(f"{mine['median'] / theirs['median']:.2f}"
                          if mine and theirs and theirs["median"] else "—")
        lines.append(f"| {label} | " + " | ".join(fmt(s, unit) for s in row) + " | " + " | ".join(ratios) + " |")
    text = "\n".join(lines) + "\n"
    print(text)
    (out / "results.md").write_text(text)
    (out / "results.json").write_text(json.dumps(table, indent=2))
    plot(table, out / "results.png")


def plot(table, path):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    panels = [("exec_to_painted_ms", "exec → page painted (ms)"),
              ("map_to_painted_ms", "map → painted (ms)"),
              ("pss_mb", "memory, PSS (MB)")]
    figure, axes = plt.subplots(1, len(panels), figsize=(12, 4))
    names = list(table)
    for axis, (key, title) in zip(axes, panels):
        stats = [table[name].get(key) for name in names]
        medians = [s["median"] if s else 0 for s in stats]
        low = [s["median"] - s["min"] if s else 0 for s in stats]
        high = [s["max"] - s["median"] if s else 0 for s in stats]
        axis.bar(names, medians, yerr=[low, high], capsize=4, color=["#2b3a8c", "#8c8c8c", "#d9822b"][:len(names)])
        axis.set_title(title)
    figure.tight_layout()
    figure.savefig(path, dpi=90)


if __name__ == "__main__":
    main()
