"""The portable bundle as a user gets it: made by scripts/bundle from the
build folder, unpacked with tar, run from a temporary folder on a virtual X
server and driven through the accessibility tree.

Run inside an X server and a D-Bus session, as run-bundle-test does:
    bundle_test.py BUILD_DIR
Proves that the program, its plugins and the browser's helper processes load
nothing from outside the bundle's folder but the baseline's libraries (the
packages in scripts/bundle-baseline.txt and those they depend on) and the GPU
drivers; that it finds all it needs through paths relative to itself, moved
to a path with spaces; that it writes nothing into its folder but
settings.cfg and history.txt; and what a user sees when files are missing.
"""

import glob
import http.server
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import unittest
import warnings

warnings.filterwarnings("ignore", category=DeprecationWarning)
import pyatspi  # noqa: E402

BUILD_DIR = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else None
SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(SOURCE_DIR, "tests", "e2e"))
import accessibility_test as e2e  # noqa: E402
# The update page the information window's own test serves, with the requests it had.
from information_window_test import UpdatePage  # noqa: E402

RUNTIME = "verdantis-runtime"
CAPTION = "Verdantis X Norvane 2.0 Sample (Interface Version 1.08)"
INFORMATION = "Verdantis X Information"
# Packages whose own dependencies belong to a graphics driver, not to what
# every desktop has: another system's drivers need other libraries.
DRIVER = re.compile(r"mesa|^(libgl1|libglx|libegl|libgles|libglvnd|libgbm|libdrm|libllvm|libvulkan|nvidia-)")
DRIVER_IMPLEMENTATION = re.compile(r"mesa|^(libgbm|libdrm|libllvm|libvulkan|nvidia-)")


# --- what the system may give the program -------------------------------------

def installed_packages():
    """name -> its Depends and Pre-Depends, of every installed package."""
    text = subprocess.run(["dpkg-query", "-W", "-f", "${db:Status-Abbrev}\t${Package}\t${Provides}\t"
                                                     "${Pre-Depends}, ${Depends}\n"],
                          check=True, capture_output=True, text=True).stdout
    depends, provides = {}, {}
    for line in text.splitlines():
        status, name, provided, needs = line.split("\t")
        if status.startswith("ii"):
            depends[name] = needs
            for other in provided.split(","):
                if other.strip():
                    provides.setdefault(other.strip().split(" ")[0], name)
    return depends, provides


def dependency_closure(start, depends, provides, stop=lambda name: False):
    seen, todo = set(), list(start)
    while todo:
        name = todo.pop()
        if name in seen or name not in depends:
            continue
        seen.add(name)
        if stop(name):
            continue
        for group in depends[name].split(","):
            for alternative in group.split("|"):
                other = alternative.strip().split(" ")[0].split(":")[0]
                other = other if other in depends else provides.get(other)
                if other:
                    todo.append(other)
                    break
    return seen


def read_baseline():
    with open(os.path.join(SOURCE_DIR, "scripts", "bundle-baseline.txt")) as listing:
        return [line.split("#")[0].strip() for line in listing if line.split("#")[0].strip()]


class SystemFiles:
    """Which package installed a file, and which packages the bundle may
    leave to the system."""

    def __init__(self):
        self.owners = {}
        for listing in glob.glob("/var/lib/dpkg/info/*.list"):
            package = os.path.basename(listing)[: -len(".list")].split(":")[0]
            with open(listing, errors="surrogateescape") as files:
                for line in files:
                    self.owners.setdefault(line.rstrip("\n"), package)
        depends, provides = installed_packages()
        self.baseline = dependency_closure(read_baseline(), depends, provides, DRIVER_IMPLEMENTATION.search)
        drivers = [name for name in depends if DRIVER.search(name)]
        self.driver_needs = dependency_closure(drivers, depends, provides)

    def owner(self, path):
        for candidate in (path, os.path.realpath(path)):
            for name in (candidate, candidate[4:] if candidate.startswith("/usr/") else "/usr" + candidate):
                if name in self.owners:
                    return self.owners[name]
        return None


def is_elf(path):
    try:
        with open(path, "rb") as file:
            return file.read(4) == b"\x7fELF"
    except OSError:
        return False


FONT = re.compile(r"\.(ttf|otf|ttc|pfb|pcf(\.gz)?)$", re.I)


def foreign_mappings(pid, runtime, system, fonts):
    """The libraries and plugins (and with fonts, the font files) mapped into
    pid that lie outside runtime and are not the system's to give, each with
    why."""
    with open(f"/proc/{pid}/maps") as maps:
        paths = {line.split(None, 5)[5].strip() for line in maps if len(line.split(None, 5)) == 6}
    bundled = {name.split(".so")[0] for name in os.listdir(os.path.join(runtime, "lib"))}
    problems = []
    for path in sorted(paths):
        if not path.startswith("/") or path.endswith(" (deleted)"):
            continue
        if path.startswith(runtime + "/"):
            continue
        if "/qt6/" in path:
            problems.append(f"{path}: the system's Qt")
            continue
        if not (is_elf(path) or (fonts and FONT.search(path))):
            continue  # data: locale archives, caches, shared memory
        package = system.owner(path)
        if package is None:
            problems.append(f"{path} (no package's)")
        elif ".so" in path and os.path.basename(path).split(".so")[0] in bundled:
            problems.append(f"{path} ({package}), which the bundle brings itself")
        elif package in system.baseline or DRIVER.search(package):
            continue
        elif package in system.driver_needs and is_elf(path):
            continue  # loaded by the system's graphics driver for itself
        else:
            problems.append(f"{path} ({package})")
    return problems


# --- processes ---------------------------------------------------------------

def children_of(pid):
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[1]) == pid:
            found.append(int(entry))
    return found


def descendants_of(pid):
    result = []
    for child in children_of(pid):
        result.append(child)
        result += descendants_of(child)
    return result


def executable(pid):
    try:
        return os.readlink(f"/proc/{pid}/exe")
    except OSError:
        return None


def command_line(pid):
    """pid's command line as one text (Chromium's processes rewrite theirs
    into one string of words)."""
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as text:
            return text.read().decode(errors="replace").replace("\0", " ").strip()
    except OSError:
        return ""


def snapshot(folder):
    """Every file and folder below folder with what a write changes."""
    state = {}
    for parent, folders, files in os.walk(folder):
        for name in folders + files:
            path = os.path.join(parent, name)
            info = os.lstat(path)
            state[os.path.relpath(path, folder)] = (info.st_mode, info.st_size, info.st_mtime_ns, info.st_ino)
    return state


def clean_environment(**more):
    """What a desktop session gives a program, and nothing that leads Qt or
    the loader anywhere."""
    keep = ("PATH", "DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS", "LANG", "TZ")
    env = {name: os.environ[name] for name in keep if name in os.environ}
    env.update(more)
    return env


# --- the bundle, made once ------------------------------------------------------

OUT = None


def setUpModule():
    global OUT
    OUT = tempfile.mkdtemp(prefix="verdantis-bundle-test.")
    # gzip packs in a fraction of xz's time; what is packed is the same.
    subprocess.run([os.path.join(SOURCE_DIR, "scripts", "bundle"), "--sample", "--build", BUILD_DIR, "--no-build",
                    "--compression", "gz", OUT], check=True, stdout=subprocess.DEVNULL)
    e2e.start_accessibility_bus()


def tearDownModule():
    shutil.rmtree(OUT, ignore_errors=True)


def archive(kind=""):
    [found] = glob.glob(os.path.join(OUT, f"verdantis-*-linux-x86_64{kind}.tar.gz"))
    return found


def unpack(archive_path, folder):
    os.makedirs(folder, exist_ok=True)
    subprocess.run(["tar", "-xf", archive_path, "-C", folder], check=True)


class ArchiveTest(unittest.TestCase):
    def test_archive_is_named_by_the_version_the_program_shows(self):
        self.assertTrue(os.path.exists(os.path.join(OUT, "verdantis-1.08-linux-x86_64.tar.gz")))
        self.assertTrue(os.path.exists(os.path.join(OUT, "verdantis-1.08-linux-x86_64-sample.tar.gz")))
        self.assertTrue(os.path.exists(os.path.join(OUT, "verdantis-1.08-linux-x86_64-debug.tar.gz")))

    def test_archive_holds_the_program_and_its_one_folder_only(self):
        names = subprocess.run(["tar", "-tzf", archive()], check=True, capture_output=True, text=True).stdout.split()
        self.assertEqual({name.rstrip("/").split("/")[0] for name in names}, {"verdantis", RUNTIME})

    def test_unpacking_into_an_add_on_folder_leaves_the_add_ons_files_alone(self):
        with tempfile.TemporaryDirectory() as folder:
            unpack(archive("-sample"), folder)
            addon = os.path.join(folder, "verdantis-1.08-linux-x86_64-sample", "Verdantis")
            for name in ("verdantis", RUNTIME):
                self.assertTrue(os.path.exists(os.path.join(addon, name)), name)
            # The add-on's own files, as a maker ships them, with the
            # user's settings and history.
            with open(os.path.join(addon, "settings.cfg"), "wb") as settings:
                settings.write(b"FSPath=C:\\FSX\r\n")
            with open(os.path.join(addon, "history.txt"), "wb") as history:
                history.write(b"a line\r\n")
            shutil.rmtree(os.path.join(addon, RUNTIME))
            os.unlink(os.path.join(addon, "verdantis"))
            before = {path: state for path, state in snapshot(addon).items()}
            unpack(archive(), addon)
            after = snapshot(addon)
            for path, state in before.items():
                self.assertEqual(after.get(path), state, path)
            added = {path.split(os.sep)[0] for path in set(after) - set(before)}
            self.assertEqual(added, {"verdantis", RUNTIME})

    def test_desktop_entry_passes_the_validator_and_icons_come_in_the_usual_sizes(self):
        with tempfile.TemporaryDirectory() as folder:
            unpack(archive(), folder)
            entry = os.path.join(folder, RUNTIME, "verdantis.desktop")
            result = subprocess.run(["desktop-file-validate", entry], capture_output=True, text=True)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            self.assertEqual(result.stdout + result.stderr, "")
            for size in (16, 24, 32, 48, 64, 128, 256):
                icon = os.path.join(folder, RUNTIME, "icons", "hicolor", f"{size}x{size}", "apps", "verdantis.png")
                with open(icon, "rb") as png:
                    header = png.read(24)
                self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n", icon)
                self.assertEqual((int.from_bytes(header[16:20], "big"), int.from_bytes(header[20:24], "big")),
                                 (size, size), icon)

    def test_every_bundled_package_brings_its_license(self):
        with tempfile.TemporaryDirectory() as folder:
            unpack(archive(), folder)
            runtime = os.path.join(folder, RUNTIME)
            licenses = os.listdir(os.path.join(runtime, "licenses"))
            system = SystemFiles()
            # Where the system keeps what the bundle copied.
            origins = {"lib": "/usr/lib/x86_64-linux-gnu", "plugins": "/usr/lib/x86_64-linux-gnu/qt6/plugins",
                       "libexec": "/usr/lib/qt6/libexec", "fonts": "/usr/share/fonts/truetype/liberation",
                       "resources": "/usr/share/qt6/resources", "translations": "/usr/share/qt6/translations"}
            checked = 0
            for parent, _, names in os.walk(runtime):
                for name in names:
                    relative = os.path.relpath(os.path.join(parent, name), runtime)
                    top, _, rest = relative.partition(os.sep)
                    if top not in origins or name == "qt.conf":
                        continue
                    package = system.owner(os.path.join(origins[top], rest))
                    self.assertIsNotNone(package, relative)
                    self.assertIn(f"{package}.copyright", licenses, relative)
                    checked += 1
            self.assertGreater(checked, 100)


class BadInputTest(unittest.TestCase):
    """What a user sees when the bundle is unpacked incompletely: the
    starter's message on the standard error (and, from a desktop, in a
    message window, tested with the starter itself), never the loader's."""

    def run_starter(self, folder):
        # No display: with one, a starter whose standard error is no
        # terminal shows its message in a window as well.
        env = clean_environment(PATH="/usr/bin:/bin")
        env.pop("DISPLAY", None)
        return subprocess.run([os.path.join(folder, "verdantis")], capture_output=True, text=True, timeout=60, env=env)

    def test_starter_unpacked_without_its_folder_names_the_folder(self):
        with tempfile.TemporaryDirectory() as folder:
            unpack(archive(), folder)
            shutil.rmtree(os.path.join(folder, RUNTIME))
            result = self.run_starter(folder)
            self.assertEqual(result.returncode, 1)
            self.assertEqual(result.stderr,
                             f'verdantis: The folder "verdantis-runtime" is missing from {folder}. It holds the '
                             'libraries and files the program needs, and must stay beside "verdantis". Unpack the '
                             "whole archive into this folder again.\n")

    def test_a_library_missing_from_the_folder_is_named(self):
        with tempfile.TemporaryDirectory() as folder:
            unpack(archive(), folder)
            for name in ("libQt6Core.so.6", "libicuuc.so.72"):
                os.unlink(os.path.join(folder, RUNTIME, "lib", name))
            result = self.run_starter(folder)
            self.assertEqual(result.returncode, 1)
            self.assertEqual(result.stderr,
                             f"verdantis: 2 files the program needs are missing from {folder}/{RUNTIME}:\n"
                             "  lib/libQt6Core.so.6\n  lib/libicuuc.so.72\n"
                             "Unpack the whole archive into this folder again.\n")
            self.assertNotIn("error while loading shared libraries", result.stderr)


class RunFromTheBundleTest(unittest.TestCase):
    """The sample archive unpacked in a folder whose path has spaces, run,
    then moved and renamed and run again."""

    @classmethod
    def setUpClass(cls):
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), UpdatePage)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.system = SystemFiles()

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()
        cls.server.server_close()

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="verdantis bundle ")
        self.addCleanup(shutil.rmtree, self.folder, True)
        unpack(archive("-sample"), os.path.join(self.folder, "first place"))
        self.top = os.path.join(self.folder, "first place", "verdantis-1.08-linux-x86_64-sample")
        self.home = os.path.join(self.folder, "home")
        self.backup = os.path.join(self.folder, "Backup")
        os.makedirs(self.home)
        os.makedirs(self.backup)
        self.process = None
        self.log = None

    def start(self, addon):
        fsx = os.path.join(os.path.dirname(addon), "FSX")
        with open(os.path.join(addon, "settings.cfg"), "wb") as settings:
            settings.write(f"FSPath={fsx}\r\nBackupPath={self.backup}\r\nReadOverwrite=0\r\nnorbackup=1\r\n"
                           "rebackup=1\r\n".encode())
        self.before = snapshot(addon)
        # Fontconfig sees only the baseline's font, as on a desktop without
        # Arial or its stand-ins (here the system's own Liberation Sans,
        # the same font as the bundle's, could be taken in its place).
        fonts_conf = os.path.join(self.folder, "fonts.conf")
        with open(fonts_conf, "w") as conf:
            conf.write("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
                       "  <dir>/usr/share/fonts/truetype/dejavu</dir>\n"
                       f"  <cachedir>{self.folder}/fontconfig-cache</cachedir>\n"
                       "  <include ignore_missing=\"yes\">/etc/fonts/conf.d</include>\n</fontconfig>\n")
        env = clean_environment(HOME=self.home, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", FONTCONFIG_FILE=fonts_conf,
                                VERDANTIS_UPDATE_SERVER=f"http://127.0.0.1:{self.server.server_address[1]}")
        self.log = open(os.path.join(self.folder, "program.log"), "w")
        self.process = subprocess.Popen(["./verdantis"], cwd=addon, env=env, stdout=self.log,
                                        stderr=subprocess.STDOUT)
        self.addCleanup(self.stop)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        if self.log:
            self.log.close()
            outcome = getattr(self, "_outcome", None)
            if outcome is None or not outcome.success:
                with open(self.log.name) as log:
                    print(log.read(), file=sys.stderr)
            self.log = None

    def main_window(self):
        def find():
            if self.process.poll() is not None:
                raise AssertionError(f"the program ended with {self.process.returncode}")
            for app in pyatspi.Registry.getDesktop(0):
                if app is None:
                    continue
                for window in app:
                    if window is not None and window.name == CAPTION:
                        return app, window
            return None
        return e2e.wait_for("the main window", find, timeout=60)

    def open_updates(self, app, window):
        [button] = [node for node in e2e.descendants(window) if node.name == "Updates"]
        UpdatePage.requests.clear()
        e2e.do_action(button, "Press")
        e2e.wait_for("the update page's request",
                     lambda: any(path.startswith("/updates.asp?") for path in UpdatePage.requests), timeout=90)
        info = e2e.wait_for("the information window", lambda: [w for w in app if w is not None
                                                               and w.name == INFORMATION])[0]
        e2e.wait_for("the page in the browser", lambda: [node for node in e2e.descendants(info)
                                                         if node.getRole() == pyatspi.ROLE_DOCUMENT_WEB],
                     timeout=60)

    def check_run(self, addon):
        runtime = os.path.join(addon, RUNTIME)
        self.start(addon)
        app, window = self.main_window()
        [window_id] = [w for w in e2e.x_window_ids(CAPTION) if e2e.x_window_viewable(w)]
        self.assertEqual(e2e.x_window_size(window_id), (727, 524))
        # The starter became the program in the folder: the same process.
        self.assertEqual(executable(self.process.pid), os.path.join(runtime, "verdantis"))
        # Its windows' Arial is drawn with the Liberation Sans it brings,
        # found beside it (FreeType maps the font file it draws with), and
        # with no font of the system's beyond the baseline's.
        font = os.path.join(runtime, "fonts", "LiberationSans-Regular.ttf")
        with open(f"/proc/{self.process.pid}/maps") as maps:
            self.assertTrue(font in maps.read(), f"{font} is not mapped")
        self.assertEqual(foreign_mappings(self.process.pid, runtime, self.system, fonts=True), [])
        self.open_updates(app, window)

        helpers = [pid for pid in descendants_of(self.process.pid)
                   if executable(pid) == os.path.join(runtime, "libexec", "QtWebEngineProcess")]
        types = {kind for pid in helpers for kind in re.findall(r"--type=(\S+)", command_line(pid))}
        self.assertIn("renderer", types, "the page is drawn by the bundle's browser process")
        others = [pid for pid in descendants_of(self.process.pid) if pid not in helpers]
        self.assertEqual(others, [], "processes other than the bundle's browser processes")
        # Web pages may use any font of the system's, as a browser does.
        for pid in [self.process.pid] + helpers:
            with self.subTest(process=command_line(pid)[-200:]):
                self.assertEqual(foreign_mappings(pid, runtime, self.system, fonts=False), [])
        # Chromium's resources came from the bundle too (the system's
        # would show as the system's Qt above).
        resources = os.path.join(runtime, "resources", "qtwebengine_resources.pak")
        with open(f"/proc/{self.process.pid}/maps") as maps:
            self.assertTrue(resources in maps.read(), f"{resources} is not mapped")

        self.stop()
        after = snapshot(addon)
        changed = {path for path in set(self.before) | set(after) if self.before.get(path) != after.get(path)}
        self.assertTrue(changed <= {"settings.cfg", "history.txt"}, sorted(changed))

    def test_runs_from_its_folder_and_again_when_moved_to_another_path_with_spaces(self):
        self.check_run(os.path.join(self.top, "Verdantis"))
        moved = os.path.join(self.folder, "another place", "My Add-on")
        os.makedirs(os.path.dirname(moved))
        os.rename(self.top, moved)
        self.check_run(os.path.join(moved, "Verdantis"))


if __name__ == "__main__":
    if BUILD_DIR is None:
        sys.exit("usage: bundle_test.py BUILD_DIR")
    unittest.main(verbosity=2, warnings=False)
