"""The staged program seen through the accessibility tree (AT-SPI).

Run inside an X server and a D-Bus session, as tests/e2e/run-e2e does:
    accessibility_test.py BUILD_DIR
BUILD_DIR holds bin/verdantis, the sample add-on and vrx_screenshot.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import warnings

# pyatspi calls AT-SPI functions that newer releases mark as deprecated.
warnings.filterwarnings("ignore", category=DeprecationWarning)
import pyatspi  # noqa: E402

BUILD_DIR = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else None
SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

CAPTION = "Verdantis X Norvane 2.0 Sample (Interface Version 1.08)"
BUTTONS = ["Help", "Backup Manager", "Updates", "Settings", "Web site", "Install"]
AREAS = [
    "Norvane Lowlands (summer)",
    "Norvane Lowlands (autumn)",
    "Saltmere Coast",
    "Harrow Highlands (dense forest)",
    "Harrow Highlands (light forest)",
    "Ember River Valleys",
]


def wait_for(what, predicate, timeout=30.0):
    """Polls predicate until it gives a true value, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.2)


def descendants(node):
    """Every node below node, depth first; nodes that vanish are passed over."""
    try:
        children = list(node)
    except Exception:
        return
    for child in children:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def do_action(node, name):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == name:
            try:
                action.doAction(i)
            except Exception:
                # The program may answer only after the action's own work
                # (an install runs inside the press); the outcome is checked
                # on the files instead.
                pass
            return
    raise AssertionError(f"{node.name!r} has no {name!r} action")


def is_checked(node):
    return node.getState().contains(pyatspi.STATE_CHECKED)


def press_keys(*keysyms):
    """Key presses through the X server, as a keyboard-only user makes them."""
    for keysym in keysyms:
        pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)
        time.sleep(0.1)


KEY_DOWN = 0xFF54
KEY_SPACE = 0x20


def start_accessibility_bus():
    """Qt registers with the accessibility bus only if it runs already."""
    subprocess.run(
        ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
         "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
        check=True, stdout=subprocess.DEVNULL)


# The first line of every AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer report.
SANITIZER_REPORTS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:")


class StagedProgram:
    """The program staged with the sample add-on in a temporary folder."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="verdantis-e2e.")
        subprocess.run([os.path.join(SOURCE_DIR, "scripts", "stage-demo"), BUILD_DIR, self.folder], check=True)
        self.app_folder = os.path.join(self.folder, "Verdantis")
        self.fsx = os.path.join(self.folder, "FSX")
        env = dict(os.environ,
                   QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   XDG_CONFIG_HOME=os.path.join(self.folder, "config"),
                   WINEPREFIX=os.path.join(self.folder, "wine"))
        self.log = open(os.path.join(self.folder, "program.log"), "w")
        self.process = subprocess.Popen(["./verdantis"], cwd=self.app_folder, env=env,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        self.application = None
        self.window = None

    def wait_for_main_window(self):
        self.window = wait_for("the main window in the accessibility tree", self._find_window)

    def _find_window(self):
        if self.process.poll() is not None:
            raise AssertionError(f"the program ended with {self.process.returncode}: {self.output()}")
        for app in pyatspi.Registry.getDesktop(0):
            if app is None:
                continue
            for window in app:
                if window is not None and "(Interface Version" in window.name:
                    self.application = app
                    return window
        return None

    def shown_windows(self, name):
        return [window for window in self.application if window is not None and window.name == name
                and window.getState().contains(pyatspi.STATE_SHOWING)]

    def find(self, predicate):
        return [node for node in descendants(self.window) if predicate(node)]

    def area_items(self):
        return self.find(lambda node: node.getRole() == pyatspi.ROLE_LIST_ITEM)

    def tick_area_by_keyboard(self, row):
        """Focuses the area list, moves down to row and ticks it with Space."""
        area_list = self.find(lambda node: node.getRole() == pyatspi.ROLE_LIST)[0]
        # With no window manager to activate the window, a click on the
        # list's empty lower part does, and leaves every tick as it was.
        x, y, width, height = area_list.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(x + width // 2, y + height - 5, pyatspi.MOUSE_B1C)
        wait_for("the area list to have the focus",
                 lambda: area_list.getState().contains(pyatspi.STATE_FOCUSED))
        press_keys(*[KEY_DOWN] * row, KEY_SPACE)
        item = self.area_items()[row]
        wait_for(f"{item.name!r} to be checked", lambda: is_checked(item))
        return item

    def output(self):
        self.log.flush()
        with open(self.log.name) as log:
            return log.read()

    def stop(self, failed):
        if failed and shutil.which(os.path.join(BUILD_DIR, "tools", "screenshot", "vrx_screenshot")):
            subprocess.run([os.path.join(BUILD_DIR, "tools", "screenshot", "vrx_screenshot"),
                            os.path.join(BUILD_DIR, "e2e-failure.png")], check=False)
        self.process.kill()
        self.process.wait()
        output = self.output()
        self.log.close()
        shutil.rmtree(self.folder, ignore_errors=True)
        return output


class ProgramTestCase(unittest.TestCase):
    def setUp(self):
        self.program = StagedProgram()
        # Registered before the wait, so a program that never shows its window is stopped too.
        self.addCleanup(self.stop_program)
        self.program.wait_for_main_window()

    def stop_program(self):
        outcome = getattr(self, "_outcome", None)
        failed = outcome is None or not outcome.success
        if failed:
            print(self.program.output(), file=sys.stderr)
        output = self.program.stop(failed)
        # In a sanitizer build a report stops the program; one made just
        # before the end of a test must fail it all the same.
        for marker in SANITIZER_REPORTS:
            if marker in output:
                raise AssertionError(f"sanitizer report from the program:\n{output}")


class MainWindowTest(ProgramTestCase):
    def test_caption_is_the_interface_version_line(self):
        self.assertEqual(self.program.window.name, CAPTION)

    def test_the_six_picture_buttons_are_named_and_can_be_pressed(self):
        for name in BUTTONS:
            with self.subTest(button=name):
                found = self.program.find(lambda node: node.name == name)
                self.assertEqual(len(found), 1, f"nodes named {name!r}")
                self.assertIn("Press", actions(found[0]))

    def test_area_list_items_are_listed_in_order_and_unchecked(self):
        items = self.program.area_items()
        self.assertEqual([item.name for item in items], AREAS)
        for item in items:
            with self.subTest(area=item.name):
                self.assertFalse(is_checked(item))

    def test_keyboard_ticks_the_focused_area_and_shows_its_description(self):
        coast = self.program.tick_area_by_keyboard(2)
        self.assertEqual(coast.name, "Saltmere Coast")
        description = "Chalk cliffs, shingle beaches and tidal flats along the Saltmere coastline."
        wait_for("the coast's description", lambda: self.program.find(lambda node: node.name == description))
        press_keys(KEY_SPACE)
        wait_for("the area to be unchecked", lambda: not is_checked(coast))


class InstallThroughAccessibilityTest(ProgramTestCase):
    def test_ticked_area_is_installed_by_pressing_install(self):
        addon_set = os.path.join(self.program.app_folder, "Textures", "Saltmere Coast")
        target = os.path.join(self.program.fsx, "Texture")
        names = sorted(os.listdir(addon_set))
        self.assertEqual(len(names), 12)
        # The simulator holds its own textures of some of the same names.
        self.assertTrue(os.path.exists(os.path.join(target, "coast01.bmp")))
        self.assertFalse(os.path.exists(os.path.join(target, "coast12.bmp")))

        self.program.tick_area_by_keyboard(2)
        install = self.program.find(lambda node: node.name == "Install")[0]
        do_action(install, "Press")

        history = os.path.join(self.program.app_folder, "history.txt")
        wait_for("the history line", lambda: os.path.exists(history))
        for name in names:
            with open(os.path.join(addon_set, name), "rb") as source, \
                    open(os.path.join(target, name), "rb") as copied:
                self.assertEqual(source.read(), copied.read(), name)
        with open(history, "rb") as log:
            lines = log.read().split(b"\r\n")
        self.assertEqual(len(lines), 2)
        self.assertTrue(lines[0].endswith(b" - Installed version 1.08 - Saltmere Coast"), lines[0])
        self.assertEqual(lines[1], b"")
        # The run ends by closing the status window.
        wait_for("the status window to close", lambda: not self.program.shown_windows("Status"))
        # The other areas' sets were left alone.
        with open(os.path.join(target, "lowland01.bmp"), "rb") as original, \
                open(os.path.join(self.program.app_folder, "Textures", "Lowlands Summer", "lowland01.bmp"),
                     "rb") as replacement:
            self.assertNotEqual(original.read(), replacement.read())


if __name__ == "__main__":
    if BUILD_DIR is None:
        sys.exit("usage: accessibility_test.py BUILD_DIR")
    start_accessibility_bus()
    # warnings=False keeps the filter above instead of unittest's own.
    unittest.main(verbosity=2, warnings=False)
