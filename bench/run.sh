#!/usr/bin/env bash
# Builds a Release binary and the peers, then measures them side by side.
# Prints the table and writes bench/results.md and bench/results.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
export DEBIAN_FRONTEND=noninteractive
for p in python3-xlib python3-matplotlib chromium; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || apt-get install -y -qq --no-install-recommends "$p"
done
build="$root/build-release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQVZ_BUILD_TESTS=OFF -DQVZ_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
tone=$(mktemp -d)/tone.ogg
sox -n -r 44100 -c 2 "${tone%.ogg}.wav" synth 1 sine 440 && ffmpeg -loglevel error -y -i "${tone%.ogg}.wav" "$tone"
/usr/bin/python3 "$root/bench/bench.py" --binary "$build/qvzmenu" --bare "$build/bench/bare_window" --music "$tone" "$@"
