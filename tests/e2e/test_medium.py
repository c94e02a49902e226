"""The example menu as it goes on a stick: started through its autorun.sh."""

import os
import stat
from pathlib import Path

import pytest

from test_links import Session, wait_handed

START_TITLE = "Example menu"
SECOND_TITLE = "About"
EXAMPLE_MENU = Path(__file__).resolve().parents[2] / "examples" / "menu"


def lay_out_example(menu):
    for source in EXAMPLE_MENU.rglob("*"):
        if source.is_file():
            menu.copy_in(source, source.relative_to(EXAMPLE_MENU))


def strip_execute_bits(folder):
    for path in [folder, *folder.rglob("*")]:
        mode = path.stat().st_mode
        if path.is_file():
            path.chmod(mode & ~(stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH))


def example_caption():
    for line in (EXAMPLE_MENU / "autorun.inf").read_text().splitlines():
        if line.lower().startswith("caption="):
            return line.split("=", 1)[1].strip()
    raise AssertionError("the example menu has no Caption")


@pytest.mark.parametrize("executable", [True, False], ids=["execute-bits", "no-execute-bits"])
def test_autorun_script_starts_the_menu_from_another_folder(menu, desktop, spy_desktop, work_folder, executable):
    lay_out_example(menu)
    if not executable:
        strip_execute_bits(menu.path)
        assert not os.access(menu.binary, os.X_OK)
    elsewhere = work_folder / "elsewhere"
    elsewhere.mkdir()
    (elsewhere / "autorun.inf").write_text("[form]\nCaption=Wrong folder\n")

    app = menu.start(argv=["/bin/sh", str(menu.file("autorun.sh"))], cwd=elsewhere)

    window = app.wait_window(title=example_caption(), timeout=20)
    session = Session(app, desktop)
    session.wait_page(START_TITLE)
    session.click("Read the guide (PDF)")
    wait_handed(spy_desktop, app, "pdf", menu, "guide.pdf")
    session.click("More about this menu")
    session.wait_page(SECOND_TITLE)

    window.close()
    assert app.wait_exit(10) == 0
