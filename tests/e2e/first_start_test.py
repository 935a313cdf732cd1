"""The first start of a freshly staged add-on, driven from outside through
the accessibility tree (AT-SPI) as a user would, with nothing scripted inside
the program: the first-run message, the settings window proposing the
simulator registered in a Wine prefix laid out here, the real Qt folder
dialog, Save, the backup question answered Yes, the first backup, the main
window and the history line. Then the same start where only a game
launcher's file knows the prefix: the simulator proposed from it, and the
real file dialog opening on it with the prefix in its side panel.

Run inside an X server and a D-Bus session, as tests/e2e/run-e2e does:
    first_start_test.py BUILD_DIR
"""

import os
import sys
import time
import unittest

# The helpers of the main window's test: staging, waiting, actions.
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import accessibility_test as e2e  # noqa: E402
from accessibility_test import pyatspi, wait_for, descendants, do_action  # noqa: E402

FIRST_RUN = ("Since this is the first time you are running Verdantis, we will open the Settings screen for you "
             "to confirm your Verdantis settings.")
FIRST_BACKUP = ("Backup files are not detected. We will now backup your current Flight Simulator textures unless "
                "you select \"No\" below. If you select No, you will not be able to restore the current FSX "
                "textures. Are you ready to run the backup process now?")
SETTINGS = "Verdantis Settings"
FOLDER_PROMPT = "Please select a folder..."
HISTORY_TAIL = b" - Backup Action 1.08 - Created Initial Main Backup Files"
NEVER_ASK = "Do you want to mark the configuration file so you will not be prompted to backup in the future?"
SIMULATOR_FOLDER = os.path.join("Program Files (x86)", "Microsoft Games", "Microsoft Flight Simulator X")
LUTRIS_PREFIX = os.path.join("Wine Prefixes", "flight-simulator-x")


def lay_out_wine_prefix(staging):
    """A 64-bit prefix whose registry names C:\\FSX (32-bit view), its C:
    drive leading to the staging folder, where FSX is the sample simulator."""
    prefix = os.path.join(staging, "testprefix")
    os.makedirs(os.path.join(prefix, "dosdevices"))
    os.symlink("../..", os.path.join(prefix, "dosdevices", "c:"))
    with open(os.path.join(prefix, "system.reg"), "w") as reg:
        reg.write("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n#arch=win64\n\n"
                  "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] "
                  "1700000000\n\"SetupPath\"=\"C:\\\\FSX\\\\\"\n")
    return prefix


def lay_out_lutris_game(staging):
    """The staged prefix moved where a user keeps it, known only from the
    Lutris launcher's file for the game; WINEPREFIX names nothing, and there
    is no ~/.wine."""
    prefix = os.path.join(staging, LUTRIS_PREFIX)
    os.makedirs(os.path.dirname(prefix))
    os.rename(os.path.join(staging, "wine"), prefix)
    games = os.path.join(staging, "home", ".config", "lutris", "games")
    os.makedirs(games)
    with open(os.path.join(games, "flight-simulator-x-1700000000.yml"), "w") as game:
        game.write("game:\n  exe: " + os.path.join(prefix, "drive_c", SIMULATOR_FOLDER, "fsx.exe") + "\n"
                   "  prefix: " + prefix + "\nname: Flight Simulator X\nrunner: wine\nsystem: {}\n"
                   "wine:\n  version: lutris-7.2-2-x86_64\n")
    return os.path.join(staging, "no-wine")


def showing_windows(program):
    apps = [app for app in pyatspi.Registry.getDesktop(0) if app is not None]
    found = []
    for app in apps:
        if app.name != program.application_name:
            continue
        for window in app:
            if window is not None and window.getState().contains(pyatspi.STATE_SHOWING):
                found.append(window)
    return found


def window_with_text(program, text):
    for window in showing_windows(program):
        if any(node.name == text for node in descendants(window)):
            return window
    return None


def window_named(program, name):
    for window in showing_windows(program):
        if window.name == name:
            return window
    return None


def node(window, predicate, what):
    found = [n for n in descendants(window) if predicate(n)]
    if not found:
        raise AssertionError(f"no {what} in {window.name!r}")
    return found[0]


def button(window, name):
    return node(window, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == name, f"button {name!r}")


def text_of(n):
    text = n.queryText()
    return text.getText(0, text.characterCount)


class FirstStartTest(unittest.TestCase):
    def setUp(self):
        self.program = e2e.StagedProgram(settings=False, wine_prefix=lay_out_wine_prefix)
        self.program.application_name = None
        self.addCleanup(self.stop_program)

    def stop_program(self):
        outcome = getattr(self, "_outcome", None)
        failed = outcome is None or not outcome.success
        if failed:
            print(self.program.output(), file=sys.stderr)
        self.program.stop(failed)

    def find_application(self):
        if self.program.process.poll() is not None:
            raise AssertionError(f"the program ended with {self.program.process.returncode}")
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name in ("verdantis", "Verdantis") and len(app) > 0:
                return app
        return None

    def test_first_start_from_the_first_run_message_to_the_first_backup(self):
        program = self.program
        app = wait_for("the program in the accessibility tree", self.find_application)
        program.application_name = app.name
        staging = os.path.realpath(program.folder)
        fsx = os.path.join(staging, "FSX")
        chosen = os.path.join(program.home, "Texture Backups")
        os.makedirs(chosen)

        # The first-run message, answered with OK.
        message = wait_for("the first-run message", lambda: window_with_text(program, FIRST_RUN))
        do_action(button(message, "OK"), "Press")

        # The settings window with the simulator found through the Wine prefix.
        settings = wait_for("the settings window", lambda: window_named(program, SETTINGS))
        self.assertEqual(settings.getRole(), pyatspi.ROLE_DIALOG)
        wait_for("the proposed simulator folder", lambda: [n for n in descendants(settings) if n.name == fsx])
        backup_box = node(settings, lambda n: n.name == "Backup Folder", "backup box")
        self.assertEqual(text_of(backup_box), os.path.join(program.home, "VRX-Backup"))
        attrib = node(settings, lambda n: n.getRole() == pyatspi.ROLE_CHECK_BOX, "check box")
        self.assertTrue(attrib.getState().contains(pyatspi.STATE_CHECKED))
        links = [n.name for n in descendants(settings) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON]
        self.assertEqual(links, ["Select", "Select", "Cancel", "Save"])
        # Each Select says which folder it selects.
        self.assertEqual([n.description for n in descendants(settings) if n.name == "Select"],
                         ["Browse to FSX.EXE for the path to Flight Simulator X",
                          "Browse to an existing folder for your backups"])

        # The backup folder's Select opens Qt's real folder dialog; the user
        # writes the folder's path into it and chooses it.
        do_action([n for n in descendants(settings) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON][1], "Press")
        picker = wait_for("the folder dialog", lambda: window_named(program, FOLDER_PROMPT))
        name_box = node(picker, lambda n: n.getRole() == pyatspi.ROLE_TEXT
                        and n.getState().contains(pyatspi.STATE_EDITABLE)
                        and n.getState().contains(pyatspi.STATE_SHOWING), "folder name box")
        name_box.queryEditableText().setTextContents(chosen)
        do_action(button(picker, "Choose"), "Press")
        wait_for("the folder dialog to close", lambda: window_named(program, FOLDER_PROMPT) is None)
        wait_for("the chosen folder in the backup box", lambda: text_of(backup_box) == chosen)

        do_action(button(settings, "Save"), "Press")

        # The backup question, answered Yes: the first backup runs.
        question = wait_for("the first backup question", lambda: window_with_text(program, FIRST_BACKUP))
        do_action(button(question, "Yes"), "Press")

        window = wait_for("the main window", lambda: next(
            (w for w in showing_windows(program) if "(Interface Version" in w.name), None), timeout=120)
        self.assertEqual(window.name, e2e.CAPTION)

        with open(os.path.join(program.app_folder, "settings.cfg"), "rb") as saved:
            self.assertEqual(saved.read(),
                             b"FSPath=" + fsx.encode() + b"\r\nBackupPath=" + chosen.encode()
                             + b"\r\nReadOverwrite=1\r\nnorbackup=1\r\nrebackup=\r\n")
        self.assertFalse(os.path.exists(os.path.join(program.home, "VRX-Backup")))

        # Every listed texture the simulator holds is in the backup folder, byte
        # for byte, from the last backup source folder that has it.
        with open(os.path.join(program.app_folder, "backup.lst"), encoding="cp1252") as listed:
            entries = [line.strip() for line in listed.read().split("\n")[1:] if line.strip()]
        sources = [os.path.join(fsx, "Texture"), os.path.join(fsx, "Scenery", "World", "texture")]
        expected = {}
        for entry in entries:
            for source in sources:
                path = os.path.join(source, entry)
                if os.path.isfile(path) and os.path.getsize(path) > 0:
                    expected[entry] = path
        self.assertGreater(len(expected), 0)
        self.assertEqual(sorted(os.listdir(chosen)), sorted(expected))
        for entry, source in expected.items():
            with open(source, "rb") as original, open(os.path.join(chosen, entry), "rb") as copy:
                self.assertEqual(original.read(), copy.read(), entry)

        with open(os.path.join(program.app_folder, "history.txt"), "rb") as history:
            lines = history.read().split(b"\r\n")
        self.assertEqual(len(lines), 2)
        self.assertTrue(lines[0].endswith(HISTORY_TAIL), lines[0])


class LauncherFirstStartTest(unittest.TestCase):
    def setUp(self):
        self.program = e2e.StagedProgram(settings=False, wine_prefix=lay_out_lutris_game)
        self.program.application_name = None
        self.addCleanup(self.stop_program)

    stop_program = FirstStartTest.stop_program
    find_application = FirstStartTest.find_application

    def test_first_start_finds_the_simulator_in_a_launchers_prefix(self):
        program = self.program
        app = wait_for("the program in the accessibility tree", self.find_application)
        program.application_name = app.name
        prefix = os.path.join(os.path.realpath(program.folder), LUTRIS_PREFIX)
        fsx = os.path.join(prefix, "drive_c", SIMULATOR_FOLDER)

        message = wait_for("the first-run message", lambda: window_with_text(program, FIRST_RUN))
        do_action(button(message, "OK"), "Press")
        settings = wait_for("the settings window", lambda: window_named(program, SETTINGS))
        wait_for("the simulator proposed from the launcher's prefix",
                 lambda: [n for n in descendants(settings) if n.name == fsx])

        # The simulator's Select opens Qt's real file dialog on the folder
        # found, the prefix's C: drive in its side panel.
        do_action([n for n in descendants(settings) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON][0], "Press")
        picker = wait_for("the file dialog with the prefix in its side panel",
                          lambda: window_with_text(program, "Lutris: flight-simulator-x"))
        wait_for("the simulator's program listed", lambda: [n for n in descendants(picker) if n.name == "FSX.EXE"])
        name_box = node(picker, lambda n: n.getRole() == pyatspi.ROLE_TEXT
                        and n.getState().contains(pyatspi.STATE_EDITABLE)
                        and n.getState().contains(pyatspi.STATE_SHOWING), "file name box")
        name_box.queryEditableText().setTextContents(os.path.join(fsx, "FSX.EXE"))
        do_action(button(picker, "Open"), "Press")
        wait_for("the file dialog to close", lambda: window_with_text(program, "Lutris: flight-simulator-x") is None)
        self.assertTrue([n for n in descendants(settings) if n.name == fsx])

        do_action(button(settings, "Save"), "Press")
        question = wait_for("the first backup question", lambda: window_with_text(program, FIRST_BACKUP))
        do_action(button(question, "No"), "Press")
        question = wait_for("the never-ask question", lambda: window_with_text(program, NEVER_ASK))
        do_action(button(question, "No"), "Press")
        wait_for("the main window", lambda: next(
            (w for w in showing_windows(program) if "(Interface Version" in w.name), None), timeout=120)

        with open(os.path.join(program.app_folder, "settings.cfg"), "rb") as saved:
            self.assertEqual(saved.read(),
                             b"FSPath=" + fsx.encode() + b"\r\nBackupPath="
                             + os.path.join(program.home, "VRX-Backup").encode()
                             + b"\r\nReadOverwrite=1\r\nnorbackup=\r\nrebackup=\r\n")


if __name__ == "__main__":
    if e2e.BUILD_DIR is None:
        sys.exit("usage: first_start_test.py BUILD_DIR")
    e2e.start_accessibility_bus()
    unittest.main(verbosity=2, warnings=False)
