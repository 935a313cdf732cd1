"""The program on a Wayland desktop: a headless Wayland compositor (weston)
with XWayland, started by this test in a runtime folder of its own.

Run inside a D-Bus session, as tests/e2e/run-wayland-e2e does:
    wayland_test.py BUILD_DIR

Where an X display is there beside Wayland the program must run as an X11
client of XWayland (it places its own windows, which Wayland does not let a
client do); without an X display, or when the X server cannot be reached, it
runs natively on Wayland; a user's own QT_QPA_PLATFORM always wins. Which
platform the program took is read from the Qt platform plugin mapped into
it (/proc/PID/maps) and from the X server's window tree.
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
# Takes BUILD_DIR from the command line and gives the staged program.
import accessibility_test as e2e  # noqa: E402
from accessibility_test import wait_for  # noqa: E402

SOCKET = "vrx-wayland-e2e"
X11_SOCKETS = "/tmp/.X11-unix"


class Compositor:
    """weston on its headless backend with XWayland, drawing in memory (pixman)
    so that it can take a picture. XWayland starts when the first X client
    connects."""

    def __init__(self):
        self.runtime_dir = tempfile.mkdtemp(prefix="verdantis-wayland.")
        # Wayland clients refuse a runtime folder that others may enter.
        os.chmod(self.runtime_dir, 0o700)
        # XWayland's socket goes here; Xvfb would make it, but CI may never have run one.
        if not os.path.isdir(X11_SOCKETS):
            os.makedirs(X11_SOCKETS)
            os.chmod(X11_SOCKETS, 0o1777)
        self.log_path = os.path.join(self.runtime_dir, "weston.log")
        env = {name: value for name, value in os.environ.items()
               if name not in ("DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET")}
        env["XDG_RUNTIME_DIR"] = self.runtime_dir
        # --debug lets weston-screenshooter take pictures; --idle-time=0 keeps the screen on.
        self.process = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", "--use-pixman", "--width=1280", "--height=1024",
             f"--socket={SOCKET}", "--xwayland", "--no-config", "--idle-time=0", "--debug",
             f"--log={self.log_path}"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT, start_new_session=True)
        try:
            self.display = wait_for("weston's X display", self._x_display, timeout=30)
        except Exception:
            self.stop()
            raise

    def _x_display(self):
        if self.process.poll() is not None:
            raise AssertionError(f"weston ended with {self.process.returncode}:\n{self.log()}")
        if not os.path.exists(os.path.join(self.runtime_dir, SOCKET)):
            return None
        found = re.search(r"xserver listening on display (:\d+)", self.log())
        return found.group(1) if found else None

    def log(self):
        try:
            with open(self.log_path) as log:
                return log.read()
        except FileNotFoundError:
            return ""

    def environment(self):
        """The variables a Wayland desktop with XWayland gives its programs."""
        return {"XDG_RUNTIME_DIR": self.runtime_dir, "WAYLAND_DISPLAY": SOCKET, "DISPLAY": self.display,
                "XDG_SESSION_TYPE": "wayland"}

    def x_window_ids(self, name):
        """The windows named name in XWayland's window tree."""
        tree = subprocess.run(["xwininfo", "-root", "-tree"], env=dict(os.environ, DISPLAY=self.display),
                              check=True, capture_output=True, text=True).stdout
        return [line.split()[0] for line in tree.splitlines() if f'"{name}"' in line]

    def x_window_geometry(self, window_id):
        """(viewable, width, height) of an X window."""
        info = subprocess.run(["xwininfo", "-id", window_id], env=dict(os.environ, DISPLAY=self.display),
                              check=True, capture_output=True, text=True).stdout
        fields = dict(line.strip().split(": ", 1) for line in info.splitlines() if ": " in line)
        return "IsViewable" in info, int(fields["Width"]), int(fields["Height"])

    def screenshot(self, path):
        """Saves the compositor's whole screen as a PNG at path."""
        folder = tempfile.mkdtemp(dir=self.runtime_dir)
        subprocess.run(["weston-screenshooter"], cwd=folder, timeout=30, check=True,
                       env=dict(os.environ, XDG_RUNTIME_DIR=self.runtime_dir, WAYLAND_DISPLAY=SOCKET),
                       stdout=subprocess.DEVNULL)
        [picture] = os.listdir(folder)
        shutil.move(os.path.join(folder, picture), path)

    def stop(self):
        if self.process.poll() is None:
            # weston ends XWayland and its own clients with it.
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(timeout=15)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait()
        shutil.rmtree(self.runtime_dir, ignore_errors=True)


compositor = None


def setUpModule():
    global compositor
    compositor = Compositor()


def tearDownModule():
    if compositor is not None:
        compositor.stop()


def platform_plugins(pid):
    """The file names of the Qt platform plugins mapped into process pid."""
    with open(f"/proc/{pid}/maps") as maps:
        paths = {line.split()[-1] for line in maps if "/platforms/" in line}
    return sorted(os.path.basename(path) for path in paths)


def unused_x_display():
    """An X display number no server has taken (no lock file, no socket)."""
    for number in range(600, 700):
        if not os.path.exists(f"/tmp/.X{number}-lock") and not os.path.exists(f"{X11_SOCKETS}/X{number}"):
            return f":{number}"
    raise AssertionError("no free X display number")


class WaylandDesktopTestCase(e2e.ProgramTestCase):
    """The staged program on the compositor, with desktop(compositor) as its
    display variables; every variable a case leaves out is unset, and no
    QT_QPA_PLATFORM is set unless the case sets one."""

    @staticmethod
    def desktop(compositor):
        return compositor.environment()

    def setUp(self):
        # None removes a variable from the program's environment.
        self.environment = dict({"DISPLAY": None, "WAYLAND_DISPLAY": None, "XDG_SESSION_TYPE": None,
                                 "QT_QPA_PLATFORM": None}, **self.desktop(compositor))
        super().setUp()

    def stop_program(self):
        """Saves a picture of the screen when the case failed, into BUILD_DIR,
        and of every case into the folder VERDANTIS_E2E_PICTURES names."""
        outcome = getattr(self, "_outcome", None)
        picture = None
        if outcome is None or not outcome.success:
            picture = os.path.join(e2e.BUILD_DIR, f"e2e-wayland-failure-{type(self).__name__}.png")
        elif os.environ.get("VERDANTIS_E2E_PICTURES"):
            picture = os.path.join(os.environ["VERDANTIS_E2E_PICTURES"], f"{type(self).__name__}.png")
        if picture:
            try:
                compositor.screenshot(picture)
                print(f"screen saved in {picture}", file=sys.stderr)
            except Exception as error:
                print(f"no picture of the screen: {error}", file=sys.stderr)
        super().stop_program()

    def plugins(self):
        return platform_plugins(self.program.process.pid)


class XWaylandTest(WaylandDesktopTestCase):
    """A Wayland desktop with XWayland, as most have: the program is an X11 client."""

    def test_main_window_is_an_x11_window_of_its_designed_size(self):
        self.assertEqual(self.plugins(), ["libqxcb.so"])
        ids = wait_for("the main window in XWayland's window tree",
                       lambda: [w for w in compositor.x_window_ids(e2e.CAPTION)
                                if compositor.x_window_geometry(w)[0]])
        self.assertEqual(len(ids), 1, ids)
        self.assertEqual(compositor.x_window_geometry(ids[0]), (True, 727, 524))


class XWaylandWithoutSessionTypeTest(WaylandDesktopTestCase):
    """A compositor started by hand names its socket but sets no session type."""

    @staticmethod
    def desktop(compositor):
        return {name: value for name, value in compositor.environment().items() if name != "XDG_SESSION_TYPE"}

    def test_the_program_is_an_x11_client(self):
        self.assertEqual(self.plugins(), ["libqxcb.so"])
        wait_for("the main window in XWayland's window tree", lambda: compositor.x_window_ids(e2e.CAPTION))


class NativeWaylandTest(WaylandDesktopTestCase):
    """No X display at all: the program is a Wayland client."""

    @staticmethod
    def desktop(compositor):
        return {name: value for name, value in compositor.environment().items() if name != "DISPLAY"}

    def test_main_window_is_shown_through_wayland(self):
        self.assertEqual(len(self.plugins()), 1, self.plugins())
        self.assertRegex(self.plugins()[0], r"^libqwayland-.*\.so$")
        self.assertEqual(self.program.window.name, e2e.CAPTION)
        # The window keeps its designed size on Wayland too.
        width, height = self.program.window.queryComponent().getSize()
        self.assertEqual((width, height), (727, 524))


class UnreachableXServerTest(WaylandDesktopTestCase):
    """DISPLAY names an X server that is not there: Wayland after X11 fails."""

    @staticmethod
    def desktop(compositor):
        return dict(compositor.environment(), DISPLAY=unused_x_display())

    def test_the_program_falls_back_to_wayland(self):
        # The X11 plugin was tried first and stays loaded; the window came through Wayland.
        plugins = self.plugins()
        self.assertIn("libqxcb.so", plugins)
        self.assertTrue(any(re.match(r"^libqwayland-.*\.so$", name) for name in plugins), plugins)
        self.assertIn("could not connect to display", self.program.output())


class UsersOwnPlatformTest(WaylandDesktopTestCase):
    """QT_QPA_PLATFORM=wayland set by the user on a desktop with XWayland."""

    @staticmethod
    def desktop(compositor):
        return dict(compositor.environment(), QT_QPA_PLATFORM="wayland")

    def test_the_users_choice_wins(self):
        plugins = self.plugins()
        self.assertEqual(len(plugins), 1, plugins)
        self.assertRegex(plugins[0], r"^libqwayland-.*\.so$")
        # XWayland runs (the test's own query starts it) and holds no window of ours.
        self.assertEqual(compositor.x_window_ids(e2e.CAPTION), [])


if __name__ == "__main__":
    if e2e.BUILD_DIR is None:
        sys.exit("usage: wayland_test.py BUILD_DIR")
    e2e.start_accessibility_bus()
    unittest.main(verbosity=2, warnings=False)
