"""A spy desktop: handlers that record what the program asks the desktop to open.

Each handler is a `.desktop` file in the test's XDG_DATA_HOME whose Exec runs a small
script appending "<handler> <argument>" to a record file; mimeapps.list in
XDG_CONFIG_HOME makes them the defaults. XDG_DATA_DIRS is replaced by a folder that
links the system's MIME database, GSettings schemas and icons but no applications, so
no handler of the machine answers and "nothing is associated" can be tested.
"""

import os
from pathlib import Path

from harness import wait_until

# Handler name -> MIME types and URI schemes it is the default for.
HANDLERS = {
    "pdf": ["application/pdf"],
    "browser": ["text/html", "x-scheme-handler/http", "x-scheme-handler/https"],
    "mail": ["x-scheme-handler/mailto"],
    "music": ["audio/mpeg"],
}

# What the private XDG_DATA_DIRS keeps of /usr/share: never "applications".
SYSTEM_DATA = ["mime", "glib-2.0", "icons", "themes"]

SPY_SCRIPT = """#!/bin/sh
printf '%s %s\\n' "$1" "$2" >> '{record}'
"""


class SpyDesktop:
    def __init__(self, folder, env):
        self.folder = Path(folder)
        self.record = self.folder / "opened.txt"
        self.folder.mkdir(parents=True, exist_ok=True)
        script = self.folder / "spy-handler"
        script.write_text(SPY_SCRIPT.format(record=self.record))
        script.chmod(0o755)

        applications = Path(env["XDG_DATA_HOME"]) / "applications"
        applications.mkdir(parents=True, exist_ok=True)
        defaults = ["[Default Applications]"]
        for name, types in HANDLERS.items():
            (applications / f"spy-{name}.desktop").write_text(
                "[Desktop Entry]\nType=Application\n"
                f"Name=Spy {name}\nExec={script} {name} %u\n"
                f"MimeType={';'.join(types)};\nNoDisplay=true\n")
            defaults += [f"{mime}=spy-{name}.desktop" for mime in types]
        config = Path(env["XDG_CONFIG_HOME"])
        (config / "mimeapps.list").write_text("\n".join(defaults) + "\n")
        os.system(f"update-desktop-database -q '{applications}'")

        system = self.folder / "system-data"
        system.mkdir()
        for name in SYSTEM_DATA:
            source = Path("/usr/share") / name
            if source.exists():
                (system / name).symlink_to(source)
        env["XDG_DATA_DIRS"] = str(system)

    def opened(self):
        """[(handler, argument)] in the order the handlers ran."""
        if not self.record.exists():
            return []
        lines = self.record.read_text().splitlines()
        return [tuple(line.split(" ", 1)) for line in lines if line]

    def wait_opened(self, entry, timeout=10.0, abort=None):
        return wait_until(lambda: entry in self.opened(), timeout, f"the spy desktop to record {entry!r}",
                          abort=abort, describe=lambda: f"recorded {self.opened()!r}")
