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

# The figures of each part, appended to the report in the order they ran.
report="$root/bench/results.md"
section() {
  local title=$1
  shift
  echo
  echo "## $title"
  { echo; echo "## $title"; echo; echo '```'; } >> "$report"
  "$@" 2>&1 | tee -a "$report"
  echo '```' >> "$report"
}
section "Splash effects and the first frame" bash "$root/bench/splash-bench.sh" "$build" 7
section "Start page and link hand-off" env QVZMENU_BINARY="$build/qvzmenu" /usr/bin/python3 "$root/bench/links_bench.py" 7
section "Music loop gaps and idle CPU" env QVZMENU_BINARY="$build/qvzmenu" /usr/bin/python3 "$root/bench/music_loop.py"
