#!/usr/bin/env bash
# Splash figures on a private Xvfb with openbox (no compositing manager):
#  1. each effect at 640 x 480: frames per second and real duration against
#     DelaySplash (splash-effects-bench);
#  2. time from exec to the splash's first frame, over several runs of the
#     real program, seen as the MapNotify of its window by an X client (xev).
# Usage: bench/splash-bench.sh [build-dir] [runs]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-10}
ninja -C "$build" qvzmenu splash-effects-bench >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp > "$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -1 "$work/display")
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
sleep 1

echo "== effects at 640 x 480, DelaySplash 2000 =="
"$build/bench/splash-effects-bench" 2000

echo
echo "== exec -> first splash frame (Effect=0), $runs runs =="
mkdir -p "$work/menu"
cp "$build/qvzmenu" "$work/menu/"
cp "$root/resources/splash-builtin.jpg" "$work/menu/qvz_splash.jpg"
printf '[form]\nUseSplash=1\nEffect=0\nSw=640\nSh=480\n' > "$work/menu/autorun.inf"
for run in $(seq "$runs"); do
  /usr/bin/python3 - "$work/menu/qvzmenu" <<'PY'
import os, subprocess, sys, time
watch = subprocess.Popen(["xev", "-root", "-event", "substructure"], stdout=subprocess.PIPE, text=True, bufsize=1)
time.sleep(0.3)
start = time.monotonic()
program = subprocess.Popen([sys.argv[1]], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
for line in watch.stdout:
    if line.startswith("MapNotify"):
        print(f"{(time.monotonic() - start) * 1000:.0f} ms")
        break
program.kill(); watch.kill()
PY
done
