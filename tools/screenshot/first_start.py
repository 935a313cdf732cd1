"""Answers the first-run message of a starting program from outside, through
the accessibility tree, and waits until the settings window shows:
    first_start.py [TIMEOUT_SECONDS]
Run with the program started with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 in the
same D-Bus session, whose accessibility bus runs already. Exits 0 once the
window "Verdantis Settings" is showing, 1 after the timeout.
"""

import sys
import time
import warnings

warnings.filterwarnings("ignore", category=DeprecationWarning)
import pyatspi  # noqa: E402

FIRST_RUN = "Since this is the first time you are running Verdantis"
SETTINGS = "Verdantis Settings"


def nodes(node, depth=0):
    try:
        children = list(node)
    except Exception:
        return
    for child in children:
        if child is None:
            continue
        yield child
        if depth < 8:
            yield from nodes(child, depth + 1)


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == "Press":
            action.doAction(i)
            return


def main():
    timeout = float(sys.argv[1]) if len(sys.argv) > 1 else 60.0
    deadline = time.monotonic() + timeout
    pressed = False
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is None:
                continue
            for window in app:
                if window is None or not showing(window):
                    continue
                if window.name == SETTINGS:
                    return 0
                if pressed:
                    continue
                texts = [n for n in nodes(window) if (n.name or "").startswith(FIRST_RUN)]
                buttons = [n for n in nodes(window) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == "OK"]
                if texts and buttons:
                    press(buttons[0])
                    pressed = True
        time.sleep(0.2)
    return 1


if __name__ == "__main__":
    sys.exit(main())
