"""The program's widgets as assistive technologies see them (AT-SPI, through pyatspi).

Import this module only after desktop.py has pointed this process at the private
session (it does so itself): pyatspi connects to the buses named in the environment
when it is first used.

Every query tolerates a program that is starting, busy or dying: a failing D-Bus call
makes the query return None (or skip the node) instead of raising, and callers wait
on the result with harness.wait_until.
"""

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import GLib  # noqa: E402

import pyatspi  # noqa: E402

# Roles are compared by pyatspi's role names ("frame", "push button", "check box",
# "label", "menu", "menu item", "alert", "dialog", "heading", "link", "document web").
FRAME = "frame"
PUSH_BUTTON = "push button"
CHECK_BOX = "check box"
LABEL = "label"
MENU = "menu"
MENU_ITEM = "menu item"
POPUP_MENU = "popup menu"
ALERT = "alert"
DIALOG = "dialog"
HEADING = "heading"
LINK = "link"
DOCUMENT_WEB = "document web"

# Method calls to an application that is not answering (blocked in a pause, or dying)
# give up after this long, so one poll never stalls a wait for long.
CALL_TIMEOUT_MS = 1500
STARTUP_TIMEOUT_MS = 3000

# How deep a walk goes before assuming a cycle: a web page nests deeply, but not this deep.
MAX_DEPTH = 60


def _quiet(function, default=None):
    """Calls `function`, turning the errors of a vanished or busy application into `default`.

    libatspi reports a dead or unresponsive application as GLib.Error ("Process is
    defunct", a timeout) and a missing interface as NotImplementedError; other errors
    are faults of the test and pass through.
    """
    try:
        return function()
    except (GLib.Error, NotImplementedError, LookupError):
        return default


def _pump_events():
    """Lets libatspi handle queued bus signals (applications coming and going)."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def role_of(node):
    return _quiet(node.getRoleName, "")


def name_of(node):
    return _quiet(lambda: node.name, None)


def description_of(node):
    return _quiet(lambda: node.description, None)


def children(node):
    count = _quiet(lambda: node.childCount, 0) or 0
    result = []
    for index in range(count):
        # A child that vanished meanwhile reads as None.
        child = _quiet(lambda index=index: node.getChildAtIndex(index))
        if child is not None:
            result.append(child)
    return result


def states(node):
    """State names such as "checked", "showing", "visible", "focused", "enabled"."""
    state_set = _quiet(node.getState)
    if state_set is None:
        return set()
    return {pyatspi.stateToString(state).replace("_", " ") for state in _quiet(state_set.getStates, []) or []}


def text(node):
    """The node's text: its Text interface content when it has one, else its name."""
    def read():
        interface = node.queryText()
        return interface.getText(0, interface.characterCount)
    content = _quiet(read)
    return content if content is not None else name_of(node)


def walk(node, max_depth=MAX_DEPTH):
    """Yields `node` and its descendants, depth first; unreadable subtrees are skipped."""
    stack = [(node, 0)]
    while stack:
        current, depth = stack.pop()
        yield current
        if depth < max_depth:
            stack.extend((child, depth + 1) for child in reversed(children(current)))


def matches(node, *, role=None, name=None, predicate=None):
    """`role` is one role name or a collection of them; `name` must match exactly."""
    if role is not None:
        roles = {role} if isinstance(role, str) else set(role)
        if role_of(node) not in roles:
            return False
    if name is not None and name_of(node) != name:
        return False
    return predicate is None or bool(_quiet(lambda: predicate(node), False))


def find_all(root, *, role=None, name=None, predicate=None):
    """Every node under `root` (itself included) with the given role(s) and exact name."""
    return [node for node in walk(root) if matches(node, role=role, name=name, predicate=predicate)]


def find(root, *, role=None, name=None, predicate=None):
    """The first such node, or None."""
    for node in walk(root):
        if matches(node, role=role, name=name, predicate=predicate):
            return node
    return None


def actions(node):
    def read():
        interface = node.queryAction()
        return [interface.getName(index) for index in range(interface.nActions)]
    return _quiet(read, []) or []


def do_action(node, action="click"):
    """Performs the named action ("click", "press", "activate", "toggle"); True on success."""
    def perform():
        interface = node.queryAction()
        for index in range(interface.nActions):
            if interface.getName(index) == action:
                return bool(interface.doAction(index))
        return False
    return bool(_quiet(perform, False))


def click(node):
    """Clicks a button, check box or menu item through its "click" action; True on success."""
    return do_action(node, "click")


def texts(root, role=LABEL):
    """The texts of every node of `role` under `root`, in tree order (e.g. a dialog's labels)."""
    return [text(node) for node in find_all(root, role=role)]


def extents(node):
    """(x, y, width, height) on the screen, or None."""
    def read():
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return (box.x, box.y, box.width, box.height)
    return _quiet(read)


def dump(node, max_depth=MAX_DEPTH):
    """The tree as indented text, for failure reports."""
    lines = []

    def visit(current, depth):
        label = f"{'  ' * depth}[{role_of(current)}] {name_of(current)!r}"
        extra = sorted(states(current) & {"checked", "showing", "visible", "focused", "modal"})
        if extra:
            label += f" {extra}"
        lines.append(label)
        if depth < max_depth:
            for child in children(current):
                visit(child, depth + 1)
    visit(node, 0)
    return "\n".join(lines)


class Accessibility:
    """The AT-SPI desktop of the private session."""

    def __init__(self):
        pyatspi.setTimeout(CALL_TIMEOUT_MS, STARTUP_TIMEOUT_MS)

    def desktop(self):
        return pyatspi.Registry.getDesktop(0)

    def registry_answers(self):
        _pump_events()
        return _quiet(lambda: self.desktop().childCount, None) is not None

    def applications(self):
        _pump_events()
        return children(self.desktop())

    def find_application(self, app_name, pid=None):
        """The application node registered under `app_name` (and process `pid`), or None."""
        for application in self.applications():
            if name_of(application) != app_name:
                continue
            if pid is None or _quiet(application.get_process_id) == pid:
                return application
        return None

    def dump_all(self):
        return "\n".join(dump(application) for application in self.applications())
