"""The end-to-end harness: the real program in a fresh folder, the device emulator on a
real pseudo-terminal, and a user at the keyboard and mouse.

Configuration comes from the environment (CTest sets it, see CMakeLists.txt):
  VELKAN_E2E_PROGRAM  the program: velkan (Qt) or velkan.exe (run under Wine)
  VELKAN_E2E_DEVICE   the native velkan-device
  VELKAN_E2E_ROBOT    velkan-robot.exe (Windows builds only)
  VELKAN_E2E_TAPES    the folder of sample tapes
  VELKAN_WINEPREFIX, DISPLAY  the Wine session (scripts/wine-session), Windows builds only
  VELKAN_WINE         the session's Wine launcher (scripts/wine-kind; "wine" when unset)

A native session starts its own Xvfb, so native tests may run side by side. Under Wine all
sessions share the session's prefix and display, so those tests run one at a time.

The two users act the same way from outside: the Qt one with xdotool (windows found by
caption, buttons clicked where the dialog template puts them, keys typed and held, the log
read through the clipboard), the Wine one with velkan-robot (buttons pressed by id, text
typed into a control, keys held with SendInput, texts read from the controls).
"""

import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import unittest

def _configured(name):
    value = os.environ.get(name, "")
    return os.path.abspath(value) if value else ""


PROGRAM = _configured("VELKAN_E2E_PROGRAM")
DEVICE = _configured("VELKAN_E2E_DEVICE")
ROBOT = _configured("VELKAN_E2E_ROBOT")
TAPES = _configured("VELKAN_E2E_TAPES")
WINE = PROGRAM.lower().endswith(".exe")
# On a machine that cannot run 32-bit programs the session runs Wine's 64-bit loader.
WINE_LAUNCHER = os.environ.get("VELKAN_WINE") or "wine"

# How long a window may take to appear, a program to end, a file to be written.
PATIENCE = 20.0
# How long F4 is held while the save dialog is answered.
F4_HOLD = 5.0
# The COM port a Wine session maps to the emulator's terminal.
WINE_PORT = "COM5"

FILE_LIST = "file list"  # the file list dialog, whose caption is empty
ADD_FILE = "Add file"
SAVE_AS = "Salva in"
NOTICE = "Attenzione"
MAIN_PREFIX = "VELKAN 1.00 "
MAKER_NOTICE = "\u00a9 2026 the VELKAN developers"  # the robot finds windows by whole caption

# The dialog templates in dialog units (resources/velkan.rc): size, and each button's
# rectangle x, y, w, h.
TEMPLATES = {
    FILE_LIST: ((250, 265), {"Add file": (200, 10, 40, 15), "Start": (10, 245, 40, 15),
                             "Cancel": (55, 245, 40, 15)}),
    ADD_FILE: ((255, 70), {"OK": (10, 50, 40, 15), "Cancel": (55, 50, 40, 15)}),
}
BUTTON_IDS = {"Add file": 203, "Start": 201, "Cancel": 202, "OK": 201}
NAME_FIELD = 102

VK = {"Escape": 27, "F4": 115}


def wait_until(check, timeout=PATIENCE, what="condition"):
    """Polls check() until it returns a true value, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)


def read_until(stream, wanted, timeout=PATIENCE):
    """Reads a process's output until the bytes wanted have come."""
    deadline = time.monotonic() + timeout
    seen = b""
    while wanted not in seen:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([stream], [], [], left)[0]:
            raise AssertionError("timed out waiting for %r" % wanted)
        chunk = os.read(stream.fileno(), 4096)
        if not chunk:
            raise AssertionError("output ended before %r" % wanted)
        seen += chunk


# --- TAP blocks, as the program builds them ---------------------------------------------

def xor(data, start=0):
    for b in data:
        start ^= b
    return start


def header_block(name, kind, length, param1=b"\0\0", param2=b"\0\0"):
    body = bytes([kind]) + name + length.to_bytes(2, "little") + param1 + param2
    return b"\x13\x00\x00" + body + bytes([xor(body)])


def data_block(data, length=None):
    n = len(data) if length is None else length
    return bytes([(n + 2) % 256, (n + 2) // 256 % 256, 0xFF]) + data + bytes([xor(data, 0xFF)])


def file_blocks(name, kind, data, param1=b"\0\0", param2=b"\0\0"):
    return header_block(name, kind, len(data), param1, param2) + data_block(data)


def nothing_arrived(name):
    """The 18 bytes of a file for which no byte came."""
    return b"\x13\x00\x00" + name + bytes([xor(name)]) + b"\x02\x00\xff\xff"


def padded(name):
    return name.encode("cp1252").ljust(10, b" ")


def tap_names(image):
    """The 10-byte names of a TAP image's header blocks, in order."""
    names, at = [], 0
    while at + 2 <= len(image):
        length = int.from_bytes(image[at:at + 2], "little")
        block = image[at + 2:at + 2 + length]
        if length == 19 and block[0] == 0:
            names.append(block[2:12])
        at += 2 + length
    return names


# --- the device emulator ------------------------------------------------------------------

class Device:
    """velkan-device on a fresh pseudo-terminal, serving a tape or a folder of files."""

    def __init__(self, workdir, tap=None, files=None, args=(), link=None, on_line=None):
        command = [DEVICE]
        if tap is not None:
            command += ["--tap", tap]
        else:
            folder = os.path.join(workdir, "device")
            os.makedirs(folder)
            for name, data in (files or {}).items():
                with open(os.path.join(folder, name), "wb") as f:
                    f.write(data)
            command += ["--folder", folder]
        if link:
            command += ["--link", link]
        command += list(args)
        self.log_path = os.path.join(workdir, "device.log")
        self._log = open(self.log_path, "wb")
        # Each line of its log with the time it arrived (time.monotonic()); on_line(time,
        # line) is called from the reading thread as each one comes.
        self.lines = []
        self._on_line = on_line
        self.process = subprocess.Popen(command, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
        self._reader = threading.Thread(target=self._read_log, daemon=True)
        self._reader.start()
        self.pty = self.process.stdout.readline().decode().strip()
        if not self.pty:
            self._reader.join()
            raise AssertionError("velkan-device did not start: " + self.log())

    def _read_log(self):
        for raw in iter(self.process.stderr.readline, b""):
            line = raw.decode("latin-1")
            self.lines.append((time.monotonic(), line))
            if self._on_line:
                self._on_line(self.lines[-1][0], line)
            self._log.write(raw)
            self._log.flush()

    def log(self):
        return "".join(line for _, line in list(self.lines))

    def requests(self):
        """The 10-byte names the program asked for, in order."""
        return [m.encode("latin-1") for m in
                re.findall(r'^velkan-device: request "(.{10})"', self.log(), re.M)]

    def session_over(self):
        return "end byte, session over" in self.log()

    def wait(self, timeout=PATIENCE):
        status = self.process.wait(timeout)
        self._reader.join()  # its last lines read
        return status

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        self._reader.join()
        self.process.stdout.close()
        self.process.stderr.close()
        self._log.close()


# --- displays -----------------------------------------------------------------------------

class Xvfb:
    """A display of our own for a native session; X key repeat off, so that a key held
    down is one press until it is released. -noreset: a server that resets when its last
    client leaves (xset here) refuses the program's connection meanwhile."""

    def __init__(self, workdir):
        read_end, write_end = os.pipe()
        self._log = open(os.path.join(workdir, "xvfb.log"), "wb")
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,), stdin=subprocess.DEVNULL,
            stdout=self._log, stderr=self._log)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            number = f.readline().strip()
        if not number:
            raise AssertionError("Xvfb did not start")
        self.name = ":" + number
        subprocess.run(["xset", "-display", self.name, "r", "off"], check=True)

    def stop(self):
        self.process.terminate()
        self.process.wait()
        self._log.close()


# --- users --------------------------------------------------------------------------------

class QtUser:
    """Drives the Qt build with xdotool on the session's own display."""

    def __init__(self, session):
        self.session = session
        self.env = dict(os.environ, DISPLAY=session.display.name)
        self.held = {}
        info = self._run("xwininfo", "-root")
        self._root = int(re.search(r"Window id: (0x[0-9a-f]+)", info).group(1), 16)

    def _run(self, *args, check=True):
        result = subprocess.run(list(args), env=self.env, capture_output=True, timeout=30)
        if check and result.returncode != 0:
            raise AssertionError("%s failed: %s" % (args, result.stderr.decode()))
        return result.stdout.decode("utf-8", "replace")

    def _windows(self):
        """Visible windows as (id, caption)."""
        found = []
        ids = self._run("xdotool", "search", "--onlyvisible", "--name", "", check=False)
        for w in ids.split():
            if int(w) == self._root:
                continue
            name = self._run("xdotool", "getwindowname", w, check=False).rstrip("\n")
            found.append((w, name))
        return found

    def _matches(self, name, caption):
        if caption == FILE_LIST:
            # An empty caption; Qt names such a window after the program.
            return name in ("", os.path.basename(PROGRAM))
        if caption == MAIN_PREFIX:
            return name.startswith(MAIN_PREFIX)
        return name == caption

    def _find(self, caption):
        for w, name in self._windows():
            if self._matches(name, caption):
                return w
        return None

    def window(self, caption, timeout=PATIENCE):
        return wait_until(lambda: self._find(caption), timeout, "window " + caption)

    def shown(self, caption):
        return self._find(caption) is not None

    def caption(self, caption):
        return self._run("xdotool", "getwindowname", self.window(caption)).rstrip("\n")

    def _focus(self, caption):
        w = self.window(caption)
        self._run("xdotool", "windowfocus", "--sync", w)
        return w

    def click(self, caption, button):
        w = self.window(caption)
        (width_du, height_du), buttons = TEMPLATES[caption]
        x, y, w_du, h_du = buttons[button]
        geometry = self._run("xdotool", "getwindowgeometry", "--shell", w)
        size = dict(line.split("=") for line in geometry.split())
        px = (x + w_du / 2) * int(size["WIDTH"]) / width_du
        py = (y + h_du / 2) * int(size["HEIGHT"]) / height_du
        self._run("xdotool", "mousemove", "--window", w, str(int(px)), str(int(py)),
                  "click", "1")

    def add_name(self, text):
        self.click(FILE_LIST, "Add file")
        self._focus(ADD_FILE)
        self._run("xdotool", "type", "--delay", "20", text)
        self.click(ADD_FILE, "OK")
        wait_until(lambda: not self.shown(ADD_FILE), what="the name dialog to close")

    def save_as(self, path):
        """Types a path into the save dialog (relative to the folder it opens in)."""
        self._focus(SAVE_AS)
        self._run("xdotool", "key", "ctrl+a")
        self._run("xdotool", "type", "--delay", "10", path)
        self._run("xdotool", "key", "Return")

    def cancel_save(self):
        self._focus(SAVE_AS)
        self._run("xdotool", "key", "Escape")

    def notice_text(self):
        """The text of the message box (Qt copies a message box's text on Ctrl+C)."""
        self._focus(NOTICE)
        self._run("xdotool", "key", "ctrl+c")
        copied = self._clipboard()
        # Title, text and buttons, each between lines of dashes.
        parts = [p.strip("\n") for p in re.split(r"^-+$", copied, flags=re.M)]
        return parts[2] if len(parts) > 2 else copied

    def answer(self, ok):
        self._focus(NOTICE)
        self._run("xdotool", "key", "Return" if ok else "Escape")

    def hold(self, key, caption, seconds):
        """Holds the key down in the window for the time given, from now on."""
        self._focus(caption)
        self._run("xdotool", "keydown", key)
        self.held[key] = threading.Timer(seconds, self._run, ("xdotool", "keyup", key))
        self.held[key].start()

    def released(self, key):
        """Waits until the key held is up again."""
        timer = self.held.pop(key)
        timer.join()

    def log_lines(self):
        """The main window's log, while the window is open."""
        self._focus(MAIN_PREFIX)
        self._run("xdotool", "key", "ctrl+a", "ctrl+c")
        return self._clipboard().replace("\r\n", "\n").split("\n")

    def close_main(self):
        self._focus(MAIN_PREFIX)
        self._run("xdotool", "key", "Escape")

    def _clipboard(self):
        time.sleep(0.2)
        # Nothing copied (an empty log) leaves the clipboard without an owner.
        return self._run("xclip", "-o", "-selection", "clipboard",
                         check=False).replace("\r", "")


class WineUser:
    """Drives the Windows build under Wine with velkan-robot."""

    def __init__(self, session):
        self.session = session
        self.held = {}

    def _robot(self, *args, check=True, timeout=PATIENCE):
        with tempfile.TemporaryFile() as out:
            command = [WINE_LAUNCHER, ROBOT, "--timeout", str(int(timeout * 1000))]
            result = subprocess.run(command + list(args), env=self.session.env,
                                    stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=subprocess.STDOUT, timeout=timeout + 30)
            out.seek(0)
            text = out.read().decode("utf-8", "replace")
        if check and result.returncode != 0:
            raise AssertionError("robot %s failed: %s" % (args, text))
        return result.returncode, text

    def _caption(self, caption):
        if caption == FILE_LIST:
            return ""
        if caption == MAIN_PREFIX:
            return self.session.main_caption
        return caption

    def window(self, caption, timeout=PATIENCE):
        self._robot("wait-window", self._caption(caption), timeout=timeout)

    def shown(self, caption):
        return self._robot("wait-window", self._caption(caption), check=False,
                           timeout=0)[0] == 0

    def caption(self, caption):
        self.window(caption)
        return self._caption(caption)

    def click(self, caption, button):
        self._robot("click", self._caption(caption), str(BUTTON_IDS[button]))

    def add_name(self, text):
        self._robot("click", "", str(BUTTON_IDS["Add file"]), ";",
                    "type", ADD_FILE, str(NAME_FIELD), text, ";",
                    "click", ADD_FILE, str(BUTTON_IDS["OK"]), ";", "wait-gone", ADD_FILE)

    def save_as(self, path):
        self._robot("type", SAVE_AS, "1148", path, ";", "click", SAVE_AS, "1")

    def cancel_save(self):
        self._robot("click", SAVE_AS, "2")

    def _controls(self, caption):
        """The window's controls as (id, class, text), from the robot's dump."""
        _, text = self._robot("dump", self._caption(caption))
        return [(int(m.group(1)), m.group(2), m.group(3)) for m in
                re.finditer(r'^robot: (-?\d+) (\S+) "(.*?)"\r?$(?=\r?\n(?:robot: |\Z)|\Z)',
                            text, re.M | re.S)]

    def notice_text(self):
        texts = [t for i, cls, t in self._controls(NOTICE)
                 if cls.lower() == "static" and t]
        return texts[-1].replace("\r\r\n", "\n").replace("\r\n", "\n") if texts else ""

    def answer(self, ok):
        self._robot("click", NOTICE, "1" if ok else "2")

    def hold(self, key, caption, seconds):
        self.window(caption)
        robot = subprocess.Popen(
            [WINE_LAUNCHER, ROBOT, "hold", str(VK[key]), str(int(seconds * 1000))],
            env=self.session.env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL)
        self.held[key] = robot
        # Back only once the key is down: a robot starting up takes a while, and the
        # program may come to look at the key before then.
        read_until(robot.stdout, b"robot: key down")

    def released(self, key):
        robot = self.held.pop(key)
        robot.wait(PATIENCE)
        robot.stdout.close()

    def log_lines(self):
        for i, cls, text in self._controls(MAIN_PREFIX):
            if cls.lower() == "edit":
                # The robot's own line ends add a CR before each LF of the text.
                return text.replace("\r\r\n", "\n").replace("\r\n", "\n").split("\n")
        raise AssertionError("no log control")

    def close_main(self):
        self._robot("key", self.session.main_caption, str(VK["Escape"]))


# --- a session ----------------------------------------------------------------------------

class Session:
    """One run of the program in a fresh folder, with the emulator on its port.

    ini: the bytes of VELKAN.INI, None for no file, or PORT (the default) for a file naming
    the emulator's port. device: keyword arguments of Device, or None for no emulator.
    folder: the program's folder, which must exist and is left behind; by default a fresh
    one that goes with the session."""

    PORT = object()

    def __init__(self, test, ini=PORT, device=None, port_name=None, folder=None):
        self.test = test
        self.workdir = tempfile.mkdtemp(prefix="velkan-e2e-")
        self.folder = folder or os.path.join(self.workdir, "run")
        os.makedirs(self.folder, exist_ok=True)
        test.addCleanup(self._cleanup)
        self.program = None
        self.device = None
        self.display = None
        self.env = dict(os.environ)
        if WINE:
            if not os.environ.get("VELKAN_WINEPREFIX"):
                raise AssertionError("run the Windows build's tests under scripts/wine-session")
            self.env.update(WINEPREFIX=os.environ["VELKAN_WINEPREFIX"], WINEDEBUG="-all")
        else:
            self.display = Xvfb(self.workdir)
            self.env.update(DISPLAY=self.display.name, QT_QPA_PLATFORM="xcb",
                            XDG_RUNTIME_DIR=self.workdir, HOME=self.workdir)

        if device is not None:
            link = None
            if WINE:
                link = os.path.join(os.environ["VELKAN_WINEPREFIX"], "dosdevices",
                                    (port_name or WINE_PORT).lower())
            self.device = Device(self.workdir, link=link, **device)
        self.port = port_name or (WINE_PORT if WINE else self.device.pty if self.device
                                  else "COM1")
        if ini is Session.PORT:
            ini = b"[Impostazioni]\r\nPorta=" + self.port.encode() + b"\r\n"
        if ini is not None:
            self.write("VELKAN.INI", ini)
        self.user = WineUser(self) if WINE else QtUser(self)

    @property
    def main_caption(self):
        return MAIN_PREFIX + MAKER_NOTICE + "  (" + self.port + ":57600,N,8,1)"

    def path(self, *parts):
        return os.path.join(self.folder, *parts)

    def windows_path(self, *parts):
        """A path of the session's folder as the program names it."""
        return ("Z:" if WINE else "") + self.path(*parts).replace("/", "\\")

    @staticmethod
    def typed(*parts):
        """A relative path as a user types it into the save dialog."""
        return ("\\" if WINE else "/").join(parts)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def start(self, program=None, args=()):
        """Starts the program (or another one of the build, with arguments)."""
        self._out = open(os.path.join(self.workdir, "program.log"), "wb")
        program = program or PROGRAM
        command = ([WINE_LAUNCHER, program] if WINE else [program]) + list(args)
        # A debugging aid: VELKAN_E2E_WRAP="gdb -batch -ex run -ex bt --args"
        command = os.environ.get("VELKAN_E2E_WRAP", "").split() + command
        # A group of its own: the Windows program is a child of the wine launcher, and
        # a session that ends early must end both.
        self.program = subprocess.Popen(command, cwd=self.folder, env=self.env,
                                        stdin=subprocess.DEVNULL, stdout=self._out,
                                        stderr=subprocess.STDOUT, start_new_session=True)
        return self.user

    def wait_exit(self, timeout=PATIENCE):
        try:
            return self.program.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program did not end")

    def running(self):
        return self.program.poll() is None

    # The common road: names typed, Start pressed, the transfer run, the image saved under
    # the typed name. With read_log, F4 is held while saving, so
    # that the main window stays open, and the log is read before closing it; while_open()
    # is called first, with the finished window on show.
    def fetch(self, names, save="game", read_log=False, while_open=None):
        user = self.start()
        user.window(FILE_LIST)
        for name in names:
            user.add_name(name)
        user.click(FILE_LIST, "Start")
        user.window(SAVE_AS, timeout=PATIENCE * 3)
        log = None
        if read_log:
            user.hold("F4", SAVE_AS, F4_HOLD)
            held_since = time.monotonic()
        user.save_as(save)
        if read_log:
            wait_until(lambda: not user.shown(SAVE_AS), what="the save dialog to close")
            self.test.assertLess(time.monotonic() - held_since, F4_HOLD - 1,
                                 "F4 was held long enough")
            user.released("F4")
            time.sleep(0.5)
            self.test.assertTrue(self.running(), "the transfer's close was refused")
            self.test.assertTrue(user.shown(MAIN_PREFIX))
            if while_open:
                while_open()
            log = user.log_lines()
            while log and log[-1] == "":
                log.pop()
            user.close_main()
        self.test.assertEqual(self.wait_exit(), 0)
        return log

    def _cleanup(self):
        if self.program is not None:
            try:
                os.killpg(self.program.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.program.wait()
            self._out.close()
        if self.device is not None:
            self.device.stop()
        if self.display is not None:
            self.display.stop()
        if os.environ.get("VELKAN_E2E_KEEP"):
            print("kept", self.workdir)
            return
        subprocess.run(["chattr", "-R", "-i", self.workdir], capture_output=True)
        shutil.rmtree(self.workdir, ignore_errors=True)


class TestCase(unittest.TestCase):
    def session(self, **kwargs):
        return Session(self, **kwargs)


def tape(name):
    return os.path.join(TAPES, name)


def _stopped(signum, frame):
    raise SystemExit(124)  # CTest's time limit: the cleanups still end what was started


def main():
    signal.signal(signal.SIGTERM, _stopped)
    unittest.main(verbosity=2)
