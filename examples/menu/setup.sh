#!/bin/sh
# Stands for the installer a real disc would carry. The menu starts it with
# the menu folder as the current folder, so it finds its files beside it.
message="This is where the product's installer would run (from $(pwd))."
if command -v zenity >/dev/null 2>&1; then
    exec zenity --info --title="Setup" --text="$message"
elif command -v xmessage >/dev/null 2>&1; then
    exec xmessage -center "$message"
fi
echo "$message"
