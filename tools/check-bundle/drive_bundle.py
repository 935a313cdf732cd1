"""Drives the bundled program inside a minimal system (a chroot) from outside,
through the accessibility tree, as scripts/check-bundle sets it up: the X
server, the D-Bus session and the accessibility bus run outside the system
and are reached through their sockets.

    drive_bundle.py --system DIR --addon FOLDER --home FOLDER --prefix FOLDER
                    --screenshot TOOL --pictures STEM

FOLDER paths are as the system sees them (below DIR). Checks the first start
(first-run message, the settings window proposing the prefix's simulator,
Save, the first backup), the main window's size, and Updates showing a page
served on 127.0.0.1 through the bundle's own browser process. Saves
STEM-main.png and STEM-updates.png.
"""

import argparse
import http.server
import os
import subprocess
import sys
import threading
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(HERE)), "tests", "e2e"))
import accessibility_test as e2e  # noqa: E402
from accessibility_test import pyatspi, wait_for, descendants, do_action  # noqa: E402
from first_start_test import FIRST_RUN, FIRST_BACKUP, SETTINGS, showing_windows, window_with_text, \
    window_named, button  # noqa: E402

INFORMATION = "Verdantis X Information"
PAGE_TEXT = "The bundled browser shows this page."


class UpdatePage(http.server.BaseHTTPRequestHandler):
    requests = []

    def do_GET(self):
        UpdatePage.requests.append(self.path)
        body = (f"<html><head><title>Updates</title></head><body><h1>Updates</h1><p>{PAGE_TEXT}</p>"
                "</body></html>").encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


class BundledProgram:
    def __init__(self, args, server):
        self.args = args
        self.application_name = None
        self.log_path = os.path.join(args.system + args.addon, "..", "program.log")
        self.log = open(self.log_path, "w")
        env = ["PATH=/usr/bin:/bin", f"HOME={args.home}", f"DISPLAY={os.environ['DISPLAY']}",
               f"DBUS_SESSION_BUS_ADDRESS={os.environ['DBUS_SESSION_BUS_ADDRESS']}",
               f"XDG_RUNTIME_DIR={os.environ['XDG_RUNTIME_DIR']}", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1",
               f"WINEPREFIX={args.prefix}", "LANG=C.UTF-8",
               f"VERDANTIS_UPDATE_SERVER=http://127.0.0.1:{server.server_address[1]}"]
        # Nothing else of the host's environment: the system's own loader,
        # fonts and libraries, and the bundle's.
        self.process = subprocess.Popen(
            ["chroot", args.system, "/usr/bin/env", "-i"] + env
            + ["sh", "-c", 'cd "$0" && exec ./verdantis', args.addon],
            stdout=self.log, stderr=subprocess.STDOUT)

    def output(self):
        self.log.flush()
        with open(self.log_path) as log:
            return log.read()

    def stop(self):
        self.process.kill()
        self.process.wait()
        self.log.close()


def find_application(program):
    if program.process.poll() is not None:
        raise AssertionError(f"the program ended with {program.process.returncode}:\n{program.output()}")
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name in ("verdantis", "Verdantis") and len(app) > 0:
            return app
    return None


def processes_inside(system, name):
    """Host paths of the executables named name that run from inside system."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            exe = os.readlink(f"/proc/{pid}/exe")
        except OSError:
            continue
        if os.path.basename(exe) == name and exe.startswith(system.rstrip("/") + "/"):
            found.append(exe)
    return found


class BundleTest(unittest.TestCase):
    args = None

    @classmethod
    def setUpClass(cls):
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), UpdatePage)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()
        cls.server.server_close()

    def picture(self, suffix):
        path = f"{self.args.pictures}-{suffix}.png"
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run([self.args.screenshot, path], check=False)
        print(f"picture: {path}", file=sys.stderr)

    def test_first_start_main_window_and_updates(self):
        args = self.args
        program = BundledProgram(args, self.server)
        self.addCleanup(program.stop)
        try:
            self.drive(program)
        except BaseException:
            self.picture("failure")
            print(program.output(), file=sys.stderr)
            raise

    def drive(self, program):
        args = self.args
        app = wait_for("the program in the accessibility tree", lambda: find_application(program), timeout=60)
        program.application_name = app.name
        message = wait_for("the first-run message", lambda: window_with_text(program, FIRST_RUN))
        do_action(button(message, "OK"), "Press")
        settings = wait_for("the settings window", lambda: window_named(program, SETTINGS))
        simulator = os.path.join(args.prefix, "drive_c", "Program Files (x86)", "Microsoft Games",
                                 "Microsoft Flight Simulator X")
        wait_for("the proposed simulator folder", lambda: [n for n in descendants(settings) if n.name == simulator])
        do_action(button(settings, "Save"), "Press")
        question = wait_for("the first backup question", lambda: window_with_text(program, FIRST_BACKUP))
        do_action(button(question, "Yes"), "Press")
        window = wait_for("the main window", lambda: next(
            (w for w in showing_windows(program) if "(Interface Version" in w.name), None), timeout=120)
        self.assertEqual(window.name, e2e.CAPTION)
        ids = wait_for("the main window on the X server", lambda: [
            w for w in e2e.x_window_ids(e2e.CAPTION) if e2e.x_window_viewable(w)])
        width, height = e2e.x_window_size(ids[0])
        self.assertEqual((width, height), (727, 524))
        history = args.system + os.path.join(args.addon, "history.txt")
        with open(history, "rb") as log:
            self.assertIn(b" - Backup Action 1.08 - Created Initial Main Backup Files", log.read())
        backups = os.path.join(args.system + args.home, "VRX-Backup")
        self.assertTrue(os.listdir(backups), "the first backup copied nothing")
        time.sleep(1)
        self.picture("main")

        do_action([n for n in descendants(window) if n.name == "Updates"][0], "Press")
        info = wait_for("the information window", lambda: window_named(program, INFORMATION))
        wait_for("the update page's request",
                 lambda: "/updates.asp?id=vrxnorvan&version=1.08" in UpdatePage.requests, timeout=60)
        wait_for("the page's text in the window", lambda: [n for n in descendants(info)
                                                           if PAGE_TEXT in (n.name or "") or self.text(n)],
                 timeout=60)
        browsers = processes_inside(args.system, "QtWebEngineProcess")
        self.assertTrue(browsers, "no QtWebEngineProcess runs from inside the system")
        addon = os.path.realpath(args.system + args.addon)
        for exe in browsers:
            self.assertTrue(exe.startswith(addon + "/"), f"{exe} is not the bundle's")
        time.sleep(2)
        self.picture("updates")
        do_action(button(info, "Exit"), "Press")

    @staticmethod
    def text(node):
        try:
            text = node.queryText()
            return PAGE_TEXT in text.getText(0, text.characterCount)
        except Exception:
            return False


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for option in ("--system", "--addon", "--home", "--prefix", "--screenshot", "--pictures"):
        parser.add_argument(option, required=True)
    BundleTest.args = parser.parse_args()
    e2e.start_accessibility_bus()
    unittest.main(argv=[sys.argv[0]], verbosity=2, warnings=False)
