#!/usr/bin/env bash
# Installs what is needed, builds, lays the example menu out in a temporary
# folder beside a copy of the binary (the menu is read from the binary's own
# folder) and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$root/build"
menu=$(mktemp -d /tmp/qvzmenu-example.XXXXXX)
cp -r "$root/examples/menu/." "$menu/"
cp "$root/build/qvzmenu" "$menu/qvzmenu"
echo "Example menu laid out in $menu"
exec sh "$menu/autorun.sh"
