#!/bin/sh
# Starts the menu from the root of the medium. Desktops offer to run this file
# when the medium is inserted, and run it with /bin/sh, so it needs no execute
# bit. FAT sticks are often mounted so that no file is executable: the
# launcher is then started through the dynamic loader, which only needs to
# read it.
here=$(cd "$(dirname "$0")" && pwd)
launcher="$here/qvzmenu"
if [ -x "$launcher" ]; then
    exec "$launcher"
fi
for loader in /lib64/ld-linux-x86-64.so.2 /lib/ld-linux-aarch64.so.1 /lib/ld-linux-armhf.so.3; do
    if [ -e "$loader" ]; then
        exec "$loader" "$launcher"
    fi
done
echo "autorun.sh: no way to start $launcher on this system" >&2
exit 1
