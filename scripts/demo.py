"""The demo after scripts/demo has built the native program: the device emulator serves a
sample tape on a pseudo-terminal, VELKAN.INI in a fresh demo-out/ names it, and velkan
fetches the tape's files.

With a display ($DISPLAY set, no --auto) the user drives the program; without one, or with
--auto, the end-to-end harness's user does it on an Xvfb of its own and a screenshot of
the finished main window is left in demo-out/. Either way the saved image must equal the
served one and pass tzxlist; the exit status says whether it did.

VELKAN_E2E_PROGRAM and VELKAN_E2E_DEVICE, when set, name other files to run than the
build's, such as an installed package's; a velkan.exe runs under Wine as in the Windows
build's end-to-end tests (scripts/wine-session, VELKAN_E2E_ROBOT).
"""

import argparse
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "native")
OUT = os.path.join(ROOT, "demo-out")  # --out names another
SAMPLE = "rustzx_simple_tape.tap"  # a program and its 6912-byte screen, both "screen"

os.environ.setdefault("VELKAN_E2E_PROGRAM", os.path.join(BUILD, "velkan", "velkan"))
os.environ.setdefault("VELKAN_E2E_DEVICE", os.path.join(BUILD, "tools", "device", "velkan-device"))
os.environ["VELKAN_E2E_TAPES"] = os.path.join(ROOT, "tests", "data", "tap")
sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402


def verify(saved, served):
    """Problems with the saved image, none when it is the served one and a valid tape."""
    with open(saved, "rb") as f:
        image = f.read()
    if image != served:
        return ["%s differs from the served image (%d bytes, %d served)"
                % (saved, len(image), len(served))]
    listing = subprocess.run(["tzxlist", saved], capture_output=True, text=True)
    if listing.returncode != 0 or "FAIL" in listing.stdout:
        return ["tzxlist refuses %s: %s%s" % (saved, listing.stdout, listing.stderr)]
    return []


def by_hand(tape, names, out):
    """The user drives the program on their display; the newest .tap saved is checked."""
    workdir = tempfile.mkdtemp(prefix="velkan-demo-")
    device = harness.Device(workdir, tap=tape)
    try:
        with open(os.path.join(out, "VELKAN.INI"), "wb") as f:
            f.write(b"[Impostazioni]\r\nPorta=" + device.pty.encode() + b"\r\n")
        print("demo: the emulator serves %s on %s." % (os.path.basename(tape), device.pty))
        print("demo: in the file list press \"Add file\" and type, one name each time:")
        for name in names:
            print("          " + name)
        print("demo: then \"Start\", and save the image under any name in the folder offered.")
        subprocess.run([harness.PROGRAM], cwd=out)
    finally:
        device.stop()
        shutil.rmtree(workdir, ignore_errors=True)
    saved = sorted(glob.glob(os.path.join(out, "*.[tT][aA][pP]")), key=os.path.getmtime)
    return saved[-1:], ([] if saved else ["no .tap image was saved in " + out])


def automatic(tape, names, out):
    """The harness's user types the names, presses Start, saves as DEMO.TAP with F4 held,
    and the finished main window is photographed before it is closed."""
    checks = unittest.TestCase()  # the harness reports through a test case's checks
    shot = os.path.join(out, "main-window.png")
    session = harness.Session(checks, device=dict(tap=tape), folder=out)
    try:
        def photograph():
            window = session.user.window(harness.MAIN_PREFIX)
            # Wine's windows are found by the robot, not by X: the whole screen then.
            subprocess.run(["import", "-window", window or "root", shot],
                           env=session.env, check=True, timeout=30)

        log = session.fetch(names, save="demo", read_log=True, while_open=photograph)
        checks.assertEqual(session.device.wait(), 0, session.device.log())
    finally:
        checks.doCleanups()
    print("demo: the main window's log:")
    for line in log:
        print("          " + line)
    print("demo: screenshot " + shot)
    saved = os.path.join(out, "DEMO.TAP")
    return [saved], []


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--auto", action="store_true",
                        help="let the harness's user drive the program on its own Xvfb")
    parser.add_argument("--tape", default=SAMPLE,
                        help="the sample tape of tests/data/tap to serve (default %(default)s)")
    parser.add_argument("--out", default=OUT,
                        help="the folder the program runs in, made afresh (default %(default)s)")
    args = parser.parse_args()
    out = os.path.abspath(args.out)

    tape = harness.tape(args.tape)
    with open(tape, "rb") as f:
        served = f.read()
    names = [n.decode("cp1252").rstrip(" ") for n in harness.tap_names(served)]
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)

    try:
        if os.environ.get("DISPLAY") and not args.auto:
            saved, problems = by_hand(tape, names, out)
        else:
            saved, problems = automatic(tape, names, out)
    except AssertionError as e:
        saved, problems = [], [str(e)]
    for path in saved:
        problems += verify(path, served)
    if problems:
        for p in problems:
            print("demo: FAILED: " + p, file=sys.stderr)
        return 1
    print("demo: %s equals the served %s and tzxlist accepts it." % (saved[0], args.tape))
    return 0


if __name__ == "__main__":
    sys.exit(main())
