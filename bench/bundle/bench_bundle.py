"""The portable bundle measured (scripts/bench bundle):

    bench_bundle.py [--startup-only] BUILD_DIR ARCHIVE_DIR [FOLDER]

ARCHIVE_DIR holds what scripts/bundle --sample wrote from BUILD_DIR (a
Release build). Prints
  - each archive's packed size, and the bundle's unpacked size;
  - what each large part weighs, unpacked and packed on its own with the
    archive's compression (xz -9), largest first;
  - the start-up to the main window (shown on the X server) of the program
    from the unpacked sample archive against the same build's program from
    the build tree (the system's Qt), in alternating rounds: median with the
    lowest and highest in brackets.
--startup-only leaves out the sizes (the parts' packing takes minutes).
Runs on a virtual X server (Xvfb) when there is no display. FOLDER (default
/tmp) takes the unpacked bundle and the staged folders.
"""

import glob
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RUNTIME = "verdantis-runtime"
CAPTION = "Verdantis X Norvane 2.0 Sample (Interface Version 1.08)"
ROUNDS = 7


def megabytes(size):
    return f"{size / 1e6:7.1f} MB"


def tree_size(path):
    if os.path.isfile(path):
        return os.path.getsize(path)
    return sum(os.path.getsize(os.path.join(parent, name))
               for parent, _, names in os.walk(path) for name in names
               if not os.path.islink(os.path.join(parent, name)))


def packed_size(paths, base):
    """Bytes of a tar of paths (relative to base) packed with xz -9."""
    tar = subprocess.Popen(["tar", "-cf", "-", "-C", base] + paths, stdout=subprocess.PIPE)
    xz = subprocess.run(["xz", "-9", "-T0", "-c"], stdin=tar.stdout, capture_output=True, check=True)
    tar.wait()
    return len(xz.stdout)


def parts(runtime):
    """The bundle's folder in named parts, largest files on their own."""
    lib = os.path.join(RUNTIME, "lib")
    listing = os.listdir(os.path.join(runtime, "lib"))
    groups = [
        ("Qt WebEngine (Chromium)", [os.path.join(lib, "libQt6WebEngineCore.so.6")]),
        ("ICU (data and code)", [os.path.join(lib, name) for name in listing if name.startswith("libicu")]),
        ("other Qt libraries", [os.path.join(lib, name) for name in listing
                                if name.startswith("libQt6") and name != "libQt6WebEngineCore.so.6"]),
        ("other libraries", [os.path.join(lib, name) for name in listing
                             if not name.startswith(("libQt6", "libicu"))]),
        ("Qt plugins", [os.path.join(RUNTIME, "plugins")]),
        ("browser process, resources, locale",
         [os.path.join(RUNTIME, name) for name in ("libexec", "resources", "translations")]),
        ("the program", [os.path.join(RUNTIME, "verdantis"), "verdantis"]),
        ("fonts", [os.path.join(RUNTIME, "fonts")]),
        ("license texts", [os.path.join(RUNTIME, "licenses")]),
        ("icons, desktop entry, qt.conf, file list",
         [os.path.join(RUNTIME, name) for name in ("icons", "verdantis.desktop", "qt.conf", "files.txt")]),
    ]
    return groups


def report_sizes(archive_dir, unpacked):
    print("Archives (packed):")
    for archive in sorted(glob.glob(os.path.join(archive_dir, "verdantis-*.tar.*"))):
        print(f"  {megabytes(os.path.getsize(archive))}  {os.path.basename(archive)}")
    total = tree_size(unpacked)
    print(f"Unpacked bundle: {megabytes(total)} in {sum(len(n) for _, _, n in os.walk(unpacked))} files")
    print("Parts (unpacked, packed on their own with xz -9):")
    rows = []
    for name, paths in parts(os.path.join(unpacked, RUNTIME)):
        size = sum(tree_size(os.path.join(unpacked, path)) for path in paths)
        rows.append((size, packed_size(paths, unpacked), name))
    for size, packed, name in sorted(rows, reverse=True):
        print(f"  {megabytes(size)} {megabytes(packed)}  {name}")


def window_viewable():
    info = subprocess.run(["xwininfo", "-name", CAPTION], capture_output=True, text=True)
    return "IsViewable" in info.stdout


def time_start(command, folder, env):
    """Seconds from starting command in folder to its main window shown."""
    started = time.monotonic()
    process = subprocess.Popen(command, cwd=folder, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        while not window_viewable():
            if process.poll() is not None:
                raise SystemExit(f"bench_bundle: {command[0]} ended with {process.returncode} before its window")
            if time.monotonic() - started > 60:
                raise SystemExit(f"bench_bundle: no main window from {command[0]} within a minute")
            time.sleep(0.005)
        return time.monotonic() - started
    finally:
        process.terminate()
        process.wait()
        while window_viewable():
            time.sleep(0.01)


def write_settings(addon, fsx, backup):
    with open(os.path.join(addon, "settings.cfg"), "wb") as settings:
        settings.write(f"FSPath={fsx}\r\nBackupPath={backup}\r\nReadOverwrite=0\r\nnorbackup=1\r\n"
                       "rebackup=1\r\n".encode())


def report_startup(build_dir, sample_archive, folder):
    work = tempfile.mkdtemp(prefix="verdantis-bench-bundle.", dir=folder)
    try:
        subprocess.run(["tar", "-xf", sample_archive, "-C", work], check=True)
        [top] = glob.glob(os.path.join(work, "verdantis-*-sample"))
        bundled = os.path.join(top, "Verdantis")
        # The same build's program in the build tree, beside the same add-on.
        tree = os.path.join(work, "tree")
        shutil.copytree(os.path.join(build_dir, "sample", "addon"), tree)
        # A copy: the program takes the folder its file is in for the add-on's.
        shutil.copy2(os.path.join(build_dir, "bin", "verdantis"), os.path.join(tree, "verdantis"))
        backup = os.path.join(work, "Backup")
        os.makedirs(backup)
        home = os.path.join(work, "home")
        os.makedirs(home)
        for addon in (bundled, tree):
            write_settings(addon, os.path.join(top, "FSX"), backup)
        keep = ("PATH", "DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS", "LANG")
        env = {name: os.environ[name] for name in keep if name in os.environ}
        env["HOME"] = home
        cases = [("bundle (starter, bundled Qt)", [os.path.join(bundled, "verdantis")], bundled),
                 ("build tree (system Qt)", [os.path.join(tree, "verdantis")], tree)]
        times = {name: [] for name, _, _ in cases}
        for _ in range(ROUNDS + 1):  # the first round warms the page cache and is left out
            for name, command, where in cases:
                times[name].append(time_start(command, where, env))
        print(f"Start-up to the main window shown ({ROUNDS} rounds after one to warm the cache):")
        medians = {}
        for name, values in times.items():
            values = values[1:]
            medians[name] = statistics.median(values)
            print(f"  {medians[name] * 1000:6.0f} ms [{min(values) * 1000:.0f}, {max(values) * 1000:.0f}]  {name}"
                  f"  (first, cold-ish: {times[name][0] * 1000:.0f} ms)")
        bundle, tree_time = medians[cases[0][0]], medians[cases[1][0]]
        print(f"  ratio bundle / build tree: {bundle / tree_time:.2f}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    arguments = sys.argv[1:]
    startup_only = "--startup-only" in arguments
    arguments = [argument for argument in arguments if argument != "--startup-only"]
    if len(arguments) not in (2, 3):
        sys.exit(__doc__)
    build_dir, archive_dir = os.path.abspath(arguments[0]), os.path.abspath(arguments[1])
    folder = arguments[2] if len(arguments) == 3 else tempfile.gettempdir()
    [main_archive] = glob.glob(os.path.join(archive_dir, "verdantis-*-linux-x86_64.tar.*"))
    [sample_archive] = glob.glob(os.path.join(archive_dir, "verdantis-*-linux-x86_64-sample.tar.*"))
    if not startup_only:
        unpacked = tempfile.mkdtemp(prefix="verdantis-bench-unpacked.", dir=folder)
        try:
            subprocess.run(["tar", "-xf", main_archive, "-C", unpacked], check=True)
            report_sizes(archive_dir, unpacked)
        finally:
            shutil.rmtree(unpacked, ignore_errors=True)
    print(f"Machine load: {os.getloadavg()[0]:.2f} {os.getloadavg()[1]:.2f} {os.getloadavg()[2]:.2f}")
    report_startup(build_dir, sample_archive, folder)


if __name__ == "__main__":
    main()
