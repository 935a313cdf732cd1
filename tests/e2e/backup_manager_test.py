"""The backup manager driven from outside, through the accessibility tree.

Run inside an X server and a D-Bus session, as tests/e2e/run-e2e does:
    backup_manager_test.py BUILD_DIR
Opens Backups from the sidebar, creates the main backup set, changes a
simulator texture, restores the main set and checks the texture is back
byte for byte and the history holds one line per action.
"""

import os
import sys
import unittest
import warnings

warnings.filterwarnings("ignore", category=DeprecationWarning)
# Takes BUILD_DIR from the command line and gives the staged program.
import accessibility_test as e2e  # noqa: E402
import pyatspi  # noqa: E402

MANAGER = "Verdantis Backup Manager"
TEXTURE = os.path.join("Texture", "lowland01.bmp")


def shown_windows(program, name):
    """The program's top-level windows of that caption now showing."""
    return [window for window in program.application if window is not None and window.name == name
            and window.getState().contains(pyatspi.STATE_SHOWING)]


class BackupManagerTest(e2e.ProgramTestCase):
    def open_backups(self):
        button = self.program.find(lambda node: node.name == "Backup Manager")[0]
        e2e.do_action(button, "Press")
        return e2e.wait_for("the backup manager", lambda: shown_windows(self.program, MANAGER))[0]

    def press_link(self, window, caption):
        links = [node for node in e2e.descendants(window) if node.name == caption]
        self.assertEqual(len(links), 1, f"links named {caption!r}")
        self.assertIn("Press", e2e.actions(links[0]))
        e2e.do_action(links[0], "Press")

    def answer(self, title, button):
        box = e2e.wait_for(f"the {title!r} question", lambda: shown_windows(self.program, title))[0]
        found = [node for node in e2e.descendants(box)
                 if node.name == button and node.getRole() == pyatspi.ROLE_PUSH_BUTTON]
        self.assertEqual(len(found), 1, f"buttons named {button!r}")
        e2e.do_action(found[0], "Press")

    def history(self):
        path = os.path.join(self.program.app_folder, "history.txt")
        if not os.path.exists(path):
            return []
        with open(path, "rb") as log:
            return [line for line in log.read().split(b"\r\n") if line]

    def wait_for_history(self, count):
        e2e.wait_for(f"{count} history lines", lambda: len(self.history()) >= count, timeout=60)
        e2e.wait_for("the status window to close", lambda: not shown_windows(self.program, "Status"))
        e2e.wait_for("the backup manager to be gone", lambda: not shown_windows(self.program, MANAGER))

    def test_main_set_created_and_restored_byte_for_byte(self):
        texture = os.path.join(self.program.fsx, TEXTURE)
        backup = os.path.join(self.program.folder, "Backup")
        with open(texture, "rb") as f:
            original = f.read()
        self.assertEqual(os.listdir(backup), [])

        # An empty backup folder: the main set is made without a question.
        manager = self.open_backups()
        self.assertEqual(manager.getRole(), pyatspi.ROLE_DIALOG)
        restore_alternate = [node for node in e2e.descendants(manager) if node.name == "Restore Alternate Backups"]
        self.assertFalse(restore_alternate[0].getState().contains(pyatspi.STATE_ENABLED))
        self.press_link(manager, "Re-Initialize Main Backup Procedure")
        self.wait_for_history(1)
        with open(os.path.join(backup, "lowland01.bmp"), "rb") as f:
            self.assertEqual(f.read(), original)

        # The simulator's texture is replaced, as an install would.
        with open(texture, "wb") as f:
            f.write(b"BM changed by the test")

        manager = self.open_backups()
        self.press_link(manager, "Restore Original Backup Files")
        self.answer("IMPORTANT!", "Yes")
        self.wait_for_history(2)
        with open(texture, "rb") as f:
            self.assertEqual(f.read(), original)

        lines = self.history()
        self.assertEqual(len(lines), 2, lines)
        self.assertTrue(lines[0].endswith(b" - Backup Action 1.08 - Created Main Backup Files"), lines[0])
        self.assertTrue(lines[1].endswith(b" - Backup Action 1.08 - Restored Main Texture Backup"), lines[1])


if __name__ == "__main__":
    if e2e.BUILD_DIR is None:
        sys.exit("usage: backup_manager_test.py BUILD_DIR")
    e2e.start_accessibility_bus()
    unittest.main(verbosity=2, warnings=False)
