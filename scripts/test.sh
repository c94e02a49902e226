#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: unit, fuzz and
# end-to-end. Ends with CTest's summary line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$root/build"
cd "$root/build"
ctest --output-on-failure
