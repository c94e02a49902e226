#!/usr/bin/python3
"""Background music figures: the gap at each loop point per format, the CPU the
program uses while music loops and the window is idle, and (with --soak N) the memory
growth over N minutes of looping.

Runs the real program on the end-to-end suite's private desktop and sound server and
measures from what the null sink's monitor recorded. Not run by ctest.

    QVZMENU_BINARY=build/qvzmenu /usr/bin/python3 bench/music_loop.py [--soak 10]
"""

import argparse
import os
import shutil
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))

import desktop as desktop_module  # noqa: E402
import harness  # noqa: E402
import sound  # noqa: E402

LISTEN_SECONDS = 6.0


def tone(folder, name):
    if name.endswith(".mid"):
        # A short marker note, then a held one, so each loop's start can be found.
        sound.make_midi(folder, name, notes=((81, 96), (69, 864)))
    else:
        sound.make_tone(folder, name)


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as handle:
        fields = handle.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def pss_kib(pid):
    try:
        text = Path(f"/proc/{pid}/smaps_rollup").read_text()
    except OSError:
        return None
    for line in text.splitlines():
        if line.startswith("Pss:"):
            return int(line.split()[1])
    return None


def run(session, server, binary, root, name, soak_minutes=0):
    folder = root / name.replace(".", "-")
    counter = 1
    while folder.exists():
        counter += 1
        folder = root / f"{name.replace('.', '-')}-{counter}"
    menu = harness.Menu(folder=folder / "menu", binary=binary, workdir=folder / "cwd", logs=folder / "logs",
                        env=session.child_env(folder / "home"), desktop=session)
    tone(menu.path, name)
    menu.write("autorun.inf", f"[form]\nmusic=1\nmusicfile={name}\n")
    recording = server.record(folder / "heard.wav")
    app = menu.start()
    result = {"format": name}
    try:
        app.wait_window(20.0)
        try:
            harness.wait_until(lambda: recording.signal().first_sound() is not None, 10.0, "sound")
        except harness.WaitTimeout:
            result["error"] = "no sound heard"
            return result
        start = recording.signal().first_sound()
        harness.wait_until(lambda: recording.seconds() >= start + LISTEN_SECONDS, LISTEN_SECONDS + 10, "recording")
        heard = recording.signal()
        gaps = heard.gaps(start + 0.02, start + LISTEN_SECONDS)
        starts = heard.marker_starts(start, start + LISTEN_SECONDS) if not name.endswith(".mid") else []
        periods = [b - a for a, b in zip(starts, starts[1:])]
        # (seconds after the first sound, milliseconds): a gap in the first second or two
        # falls while start-up still holds the event loop.
        result["gaps_ms"] = [(round(at - start, 2), round(length * 1000, 1)) for at, length in gaps]
        result["loop_period_ms"] = round(statistics.median(periods) * 1000, 1) if periods else None
        # Idle CPU: the window is shown and nothing happens but the loop.
        before, at = cpu_seconds(app.pid), time.monotonic()
        time.sleep(5.0)
        result["cpu_percent"] = round(100 * (cpu_seconds(app.pid) - before) / (time.monotonic() - at), 2)
        if soak_minutes:
            first = pss_kib(app.pid)
            samples = [first]
            end = time.monotonic() + soak_minutes * 60
            while time.monotonic() < end:
                time.sleep(30)
                samples.append(pss_kib(app.pid))
            result["pss_kib_start_end"] = (first, samples[-1])
            result["pss_growth_kib"] = samples[-1] - first
            tail = recording.signal()
            result["still_sounding"] = tail.has_sound(tail.duration() - 1.0)
    finally:
        recording.stop()
        menu.stop_all()
    return result


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--soak", type=float, default=0, help="minutes of looping Ogg to watch memory over")
    parser.add_argument("--formats", default="tone.wav,tone.ogg,tone.flac,tone.mp3,tone.mid")
    args = parser.parse_args()
    binary = Path(os.environ.get("QVZMENU_BINARY", "build/qvzmenu")).resolve()
    session = desktop_module.Desktop()
    session.start()
    try:
        server = sound.SoundServer(session).start()
        root = session.root / "bench"
        root.mkdir()
        for name in args.formats.split(","):
            print(run(session, server, binary, root, name), flush=True)
        if args.soak:
            print(run(session, server, binary, root / "soak", "tone.ogg", soak_minutes=args.soak), flush=True)
    finally:
        session.stop()
        shutil.rmtree(session.root, ignore_errors=True)


if __name__ == "__main__":
    main()
