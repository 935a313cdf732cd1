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
KEY_TAB = 0xFF09
KEY_RETURN = 0xFF0D


def focused_node(root):
    """The control below root that has the keyboard focus, or None. The
    list's current item keeps a focused state of its own whatever has the
    focus, so items are passed over: the list itself tells."""
    for node in descendants(root):
        try:
            if node.getRole() != pyatspi.ROLE_LIST_ITEM and node.getState().contains(pyatspi.STATE_FOCUSED):
                return node
        except Exception:
            continue
    return None


def x_window_ids(name):
    """The X windows whose name is name (xwininfo's tree)."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], check=True, capture_output=True, text=True).stdout
    return [line.split()[0] for line in tree.splitlines() if f'"{name}"' in line]


def x_window_viewable(window_id):
    info = subprocess.run(["xwininfo", "-id", window_id], capture_output=True, text=True).stdout
    return "IsViewable" in info


def x_window_size(window_id):
    info = subprocess.run(["xwininfo", "-id", window_id], check=True, capture_output=True, text=True).stdout
    fields = dict(line.strip().split(": ", 1) for line in info.splitlines() if ": " in line)
    return int(fields["Width"]), int(fields["Height"])


def x_property(window_id, name):
    return subprocess.run(["xprop", "-id", window_id, name], check=True, capture_output=True, text=True).stdout


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

    def __init__(self, settings=True, wine_prefix=None, **environment):
        """settings: stage with a saved settings.cfg; wine_prefix: lay out a
        prefix of the test's own instead of the staged one (called with the
        staging folder, returns the prefix's path); environment: more
        variables for the program, where None removes one."""
        self.folder = tempfile.mkdtemp(prefix="verdantis-e2e.")
        stage = [os.path.join(SOURCE_DIR, "scripts", "stage-demo")] + (["--settings"] if settings else [])
        subprocess.run(stage + [BUILD_DIR, self.folder], check=True)
        self.app_folder = os.path.join(self.folder, "Verdantis")
        self.fsx = os.path.join(self.folder, "FSX")
        self.home = os.path.join(self.folder, "home")
        prefix = wine_prefix(self.folder) if wine_prefix else os.path.join(self.folder, "wine")
        env = dict(os.environ,
                   QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   HOME=self.home,
                   XDG_CONFIG_HOME=os.path.join(self.folder, "config"),
                   WINEPREFIX=prefix)
        env.update(environment)
        env = {name: value for name, value in env.items() if value is not None}
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
    environment = {}

    def setUp(self):
        self.program = StagedProgram(**self.environment)
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
        # The run ends by closing the status window (the X server tells; the
        # accessibility tree's showing state of a window is not kept current).
        wait_for("the status window to close", lambda: not any(x_window_viewable(w) for w in x_window_ids("Status")))
        # The other areas' sets were left alone.
        with open(os.path.join(target, "lowland01.bmp"), "rb") as original, \
                open(os.path.join(self.program.app_folder, "Textures", "Lowlands Summer", "lowland01.bmp"),
                     "rb") as replacement:
            self.assertNotEqual(original.read(), replacement.read())


class WindowConventionsTest(ProgramTestCase):
    def test_main_window_is_a_frame_named_by_its_caption(self):
        self.assertEqual(self.program.window.getRoleName(), "frame")
        self.assertEqual(self.program.window.name, CAPTION)
        # The program's icon is on the X window.
        [window_id] = [w for w in x_window_ids(CAPTION)
                       if "IsViewable" in subprocess.run(["xwininfo", "-id", w], capture_output=True,
                                                         text=True).stdout]
        self.assertIn("_NET_WM_ICON(CARDINAL) =", x_property(window_id, "_NET_WM_ICON"))

    def test_command_labels_are_named_buttons_with_press(self):
        for name in ["View Log", "Select All", "Select None", "Exit"]:
            with self.subTest(label=name):
                [node] = self.program.find(lambda node: node.name == name)
                self.assertIn("Press", actions(node))
                self.assertTrue(node.getState().contains(pyatspi.STATE_FOCUSABLE))

    def test_select_all_and_select_none_through_press(self):
        [select_all] = self.program.find(lambda node: node.name == "Select All")
        do_action(select_all, "Press")
        wait_for("every area to be checked", lambda: all(is_checked(i) for i in self.program.area_items()))
        [select_none] = self.program.find(lambda node: node.name == "Select None")
        do_action(select_none, "Press")
        wait_for("no area to be checked", lambda: not any(is_checked(i) for i in self.program.area_items()))

    def test_list_and_preview_are_named(self):
        [area_list] = self.program.find(lambda node: node.getRole() == pyatspi.ROLE_LIST)
        self.assertEqual(area_list.name, "Scenery areas")
        [preview] = self.program.find(lambda node: node.getRole() == pyatspi.ROLE_IMAGE)
        self.assertEqual(preview.name, AREAS[0])
        self.assertEqual(preview.description,
                         "Summer wheat fields, meadows and hedgerows.\nChoose either the summer or the autumn set.")

    def test_focus_starts_on_the_list_and_tab_follows_reading_order(self):
        # The window manager gives the new window the focus; it opens on the list.
        wait_for("the area list to have the focus",
                 lambda: (focused_node(self.program.window) or self.program.window).name == "Scenery areas")
        order = ["Install", "Help", "Backup Manager", "Updates", "Settings", "Web site",
                 "View Log", "Select All", "Select None", "Exit", "Scenery areas"]
        for name in order:
            press_keys(KEY_TAB)
            wait_for(f"{name!r} to have the focus",
                     lambda: (focused_node(self.program.window) or self.program.window).name == name)


class KeyboardOnlyInstallTest(ProgramTestCase):
    def test_whole_install_with_the_keyboard_alone(self):
        wait_for("the area list to have the focus",
                 lambda: (focused_node(self.program.window) or self.program.window).name == "Scenery areas")
        # Down twice to the coast, Space ticks it, Tab to Install, Enter installs.
        press_keys(KEY_DOWN, KEY_DOWN, KEY_SPACE)
        coast = self.program.area_items()[2]
        wait_for("the coast to be checked", lambda: is_checked(coast))
        press_keys(KEY_TAB)
        wait_for("Install to have the focus",
                 lambda: (focused_node(self.program.window) or self.program.window).name == "Install")
        press_keys(KEY_RETURN)

        # The status window: on screen, a frame named "Status", kept on the main window.
        status_ids = wait_for("the status window on screen",
                              lambda: [w for w in x_window_ids("Status") if x_window_viewable(w)])
        [status] = [w for w in self.program.application if w is not None and w.name == "Status"]
        self.assertEqual(status.getRoleName(), "frame")
        main_ids = x_window_ids(CAPTION)
        self.assertTrue(any(f"window id # {main}" in x_property(s, "WM_TRANSIENT_FOR")
                            for s in status_ids for main in main_ids),
                        [x_property(s, "WM_TRANSIENT_FOR") for s in status_ids])

        history = os.path.join(self.program.app_folder, "history.txt")
        wait_for("the history line", lambda: os.path.exists(history))
        addon_set = os.path.join(self.program.app_folder, "Textures", "Saltmere Coast")
        for name in sorted(os.listdir(addon_set)):
            with open(os.path.join(addon_set, name), "rb") as source, \
                    open(os.path.join(self.program.fsx, "Texture", name), "rb") as copied:
                self.assertEqual(source.read(), copied.read(), name)
        with open(history, "rb") as log:
            self.assertTrue(log.read().endswith(b" - Installed version 1.08 - Saltmere Coast\r\n"))
        wait_for("the status window to close", lambda: not any(x_window_viewable(w) for w in status_ids))


def mapped_main_window_size():
    ids = [w for w in x_window_ids(CAPTION)
           if "IsViewable" in subprocess.run(["xwininfo", "-id", w], capture_output=True, text=True).stdout]
    return x_window_size(ids[0])


class ScaledDesktopTest(ProgramTestCase):
    """At 150% the window keeps its designed 727 x 524 screen pixels."""
    environment = {"QT_SCALE_FACTOR": "1.5"}

    def test_main_window_measures_its_designed_size(self):
        width, height = mapped_main_window_size()
        self.assertLessEqual(abs(width - 727), 1, (width, height))
        self.assertLessEqual(abs(height - 524), 1, (width, height))


class FontDpi144Test(ProgramTestCase):
    """The desktop's font DPI at 144 (Xft.dpi), as a 150% desktop sets it."""

    @classmethod
    def setUpClass(cls):
        subprocess.run(["xrdb", "-merge"], input="Xft.dpi: 144\n", text=True, check=True)

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["xrdb", "-merge"], input="Xft.dpi: 96\n", text=True, check=True)

    def test_main_window_measures_its_designed_size(self):
        width, height = mapped_main_window_size()
        self.assertLessEqual(abs(width - 727), 1, (width, height))
        self.assertLessEqual(abs(height - 524), 1, (width, height))


if __name__ == "__main__":
    if BUILD_DIR is None:
        sys.exit("usage: accessibility_test.py BUILD_DIR")
    start_accessibility_bus()
    # The window manager run-e2e started is up before the first window maps.
    wait_for("the window manager", lambda: "window id #" in subprocess.run(
        ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True, text=True).stdout)
    # warnings=False keeps the filter above instead of unittest's own.
    unittest.main(verbosity=2, warnings=False)
