#!/usr/bin/python3
"""Times the content view on the private end-to-end desktop (Xvfb, openbox, AT-SPI).

  window mapped -> start page painted: a pixel of the view area read from the screen
      every few milliseconds turns from the desktop's black to the window's grey (mapped),
      then to the page's background colour (painted);
  click on a non-page link -> handler started: the link is clicked with xdotool and a
      handler registered for PDF files writes the wall-clock time it started.

Usage: QVZMENU_BINARY=build/qvzmenu /usr/bin/python3 bench/links_bench.py [runs]
Prints each run and the medians. Never run by ctest.
"""

import os
import statistics
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "e2e"))

import desktop as desktop_module  # noqa: E402
import harness  # noqa: E402

PAGE = """<!DOCTYPE html><html><head><meta charset="utf-8"><title>Bench</title>
<style>body { background: #f4f6fb; margin: 8px; font-family: sans-serif; }</style></head>
<body><h1>Bench</h1><p><a href="guide.pdf">Guide</a></p></body></html>
"""
BACKGROUND = (0xf4, 0xf6, 0xfb)


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    binary = Path(os.environ["QVZMENU_BINARY"]).resolve()
    session = desktop_module.Desktop()
    session.start()
    try:
        import gi
        gi.require_version("Gdk", "3.0")
        from gi.repository import Gdk
        import accessibility

        Gdk.init([])
        root = Gdk.get_default_root_window()
        screen_w, screen_h = session.x.screen_size()
        # Right of the page's text, inside the view of a centred 672 x 489 window.
        probe = (screen_w // 2 + 250, screen_h // 2 + 40)

        def pixel():
            shot = Gdk.pixbuf_get_from_window(root, probe[0], probe[1], 1, 1)
            data = shot.get_pixels()
            return tuple(data[0:3])

        paint_times, hand_off_times = [], []
        for run in range(runs):
            folder = session.root / f"run{run}"
            menu = harness.Menu(folder=folder / "menu", binary=binary, workdir=folder / "cwd",
                                logs=folder / "logs", env=session.child_env(folder / "home"), desktop=session)
            env = menu.env
            menu.write("qvz.htm", PAGE)
            menu.write("guide.pdf", b"%PDF-1.4\n%%EOF\n")
            stamp = folder / "started.txt"
            script = folder / "handler"
            script.write_text(f"#!/bin/sh\ndate +%s.%N > '{stamp}'\n")
            script.chmod(0o755)
            apps = Path(env["XDG_DATA_HOME"]) / "applications"
            apps.mkdir(parents=True, exist_ok=True)
            (apps / "bench-pdf.desktop").write_text(
                f"[Desktop Entry]\nType=Application\nName=Bench\nExec={script} %u\nMimeType=application/pdf;\n")
            (Path(env["XDG_CONFIG_HOME"]) / "mimeapps.list").write_text(
                "[Default Applications]\napplication/pdf=bench-pdf.desktop\n")

            app = menu.start()
            mapped = painted = None
            deadline = time.monotonic() + 30
            while painted is None and time.monotonic() < deadline:
                colour = pixel()
                now = time.monotonic()
                if mapped is None and colour != (0, 0, 0):
                    mapped = now
                if mapped is not None and all(abs(a - b) <= 6 for a, b in zip(colour, BACKGROUND)):
                    painted = now
                time.sleep(0.002)
            paint_ms = (painted - mapped) * 1000

            application = app.accessible(10)
            link = harness.wait_until(lambda: accessibility.find(application, role="link", name="Guide"), 10, "link")
            x, y, w, h = harness.wait_until(lambda: accessibility.extents(link), 10, "extents")
            clicked = time.time()
            session.x.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"], check=True)
            harness.wait_until(lambda: stamp.exists() and stamp.read_text().strip(), 10, "the handler",
                               interval=0.002)
            hand_off_ms = (float(stamp.read_text()) - clicked) * 1000
            menu.stop_all()
            paint_times.append(paint_ms)
            hand_off_times.append(hand_off_ms)
            print(f"run {run + 1}: mapped -> painted {paint_ms:.0f} ms, click -> handler started {hand_off_ms:.0f} ms")
        print(f"median: mapped -> painted {statistics.median(paint_times):.0f} ms, "
              f"click -> handler started {statistics.median(hand_off_times):.0f} ms ({runs} runs)")
    finally:
        session.stop()


if __name__ == "__main__":
    main()
