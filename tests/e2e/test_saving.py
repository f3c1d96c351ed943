"""The save step as the user meets it: the name typed in the save dialog, the file on
disk, the overwrite question, a write that fails, and the dialog cancelled."""

import os
import subprocess

import harness
from harness import NOTICE, SAVE_AS, file_blocks, padded

IMAGE = file_blocks(padded("ABC"), 3, b"\x12\x34")
OLD = b"old content, longer than the new image" * 3


def make_read_only(folder):
    """A folder nobody can write into, the super-user included (immutable), or False."""
    if os.geteuid() == 0:
        if subprocess.run(["chattr", "+i", folder], capture_output=True).returncode != 0:
            return False
    else:
        os.chmod(folder, 0o555)
    try:
        open(os.path.join(folder, "probe"), "wb").close()
    except OSError:
        return True
    return False


class Saving(harness.TestCase):
    def fetch_abc(self, folders=(), existing=None):
        s = self.session(device=dict(files={"ABC": b"\x12\x34"}, args=["--fast"]))
        for folder in folders:
            os.makedirs(s.path(folder))
        for name, data in (existing or {}).items():
            s.write(name, data)
        user = s.start()
        user.window(harness.FILE_LIST)
        user.add_name("ABC")
        user.click(harness.FILE_LIST, "Start")
        user.window(SAVE_AS)
        return s, user

    def files(self, s, folder=""):
        return sorted(os.listdir(s.path(folder)))

    def test_names_on_disk(self):
        cases = [
            (("game",), "GAME.TAP"),
            (("game.bin",), "GAME.BIN"),
            (("game.",), "GAME..TAP"),
            (("my.dir", "game"), os.path.join("my.dir", "GAME.TAP")),
        ]
        for typed, on_disk in cases:
            with self.subTest(typed):
                folders = typed[:-1]
                s, user = self.fetch_abc(folders=[os.path.join(*folders)] if folders else [])
                user.save_as(s.typed(*typed))
                self.assertEqual(s.wait_exit(), 0)
                self.assertEqual(s.read(on_disk), IMAGE)
                folder = os.path.dirname(on_disk)
                self.assertEqual(self.files(s, folder),
                                 [os.path.basename(on_disk)] + ([] if folder else ["VELKAN.INI"]))

    def test_overwrite_question(self):
        # The question shows the name as the dialog returned it, with ".tap" added; a ";"
        # in it is a line break.
        cases = [
            ("ok", (), True, IMAGE),
            ("cancel", (), False, OLD),
            ("a path with ;", ("a;b",), False, OLD),
        ]
        for label, folders, ok, left in cases:
            with self.subTest(label):
                target = os.path.join(*folders, "GAME.TAP")
                s, user = self.fetch_abc(folders=folders, existing={target: OLD})
                user.save_as(s.typed(*folders, "game"))
                user.window(NOTICE)
                shown = s.windows_path(*folders, "game.tap").replace(";", "\n")
                self.assertEqual(user.notice_text(),
                                 "Il file " + shown + " gi\u00e0 esiste. Lo sovrascrivo?")
                user.answer(ok)
                self.assertEqual(s.wait_exit(), 0)
                self.assertEqual(s.read(target), left)
                self.assertEqual(self.files(s, *folders), ["GAME.TAP"] + ([] if folders else
                                                                          ["VELKAN.INI"]))

    def test_folder_refusing_new_files(self):
        # No temporary file can be made beside the target: an existing target that may be
        # written is written in place; otherwise the notice, and an existing file left whole.
        cases = [
            ("new file", None, False, None),
            ("existing target", OLD, False, IMAGE),
            ("existing read-only target", OLD, True, OLD),
        ]
        for label, existing, read_only, left in cases:
            with self.subTest(label):
                s, user = self.fetch_abc(folders=["ro"])
                target = os.path.join("ro", "GAME.TAP")
                if existing is not None:
                    s.write(target, existing)
                    if read_only:
                        os.chmod(s.path(target), 0o444)
                if not make_read_only(s.path("ro")):
                    self.skipTest("no folder here refuses writes")
                user.save_as(s.typed("ro", "game"))
                if existing is not None:
                    user.window(NOTICE)
                    self.assertIn("esiste", user.notice_text())
                    user.answer(ok=True)
                if left != IMAGE:
                    if existing is not None:
                        harness.wait_until(lambda: "esiste" not in user.notice_text(),
                                           what="the second notice")
                    user.window(NOTICE)
                    self.assertEqual(user.notice_text(), "Impossibile scrivere il file " +
                                     s.windows_path("ro", "game.tap") + ".")
                    user.answer(ok=True)
                self.assertEqual(s.wait_exit(), 0)
                self.assertEqual(self.files(s, "ro"), [] if existing is None else ["GAME.TAP"])
                if existing is not None:
                    self.assertEqual(s.read(target), left)

    def test_read_only_target_is_left_whole(self):
        # A read-only file refuses to be replaced, the super-user's run included.
        s, user = self.fetch_abc(existing={"GAME.TAP": OLD})
        os.chmod(s.path("GAME.TAP"), 0o444)
        user.save_as(s.typed("game"))
        user.window(NOTICE)
        self.assertIn("esiste", user.notice_text())
        user.answer(ok=True)
        harness.wait_until(lambda: "esiste" not in user.notice_text(), what="the second notice")
        user.window(NOTICE)
        self.assertEqual(user.notice_text(),
                         "Impossibile scrivere il file " + s.windows_path("game.tap") + ".")
        user.answer(ok=True)
        self.assertEqual(s.wait_exit(), 0)
        self.assertEqual(self.files(s), ["GAME.TAP", "VELKAN.INI"])
        self.assertEqual(s.read("GAME.TAP"), OLD)

    def test_cancel_in_the_save_dialog(self):
        s, user = self.fetch_abc()
        user.cancel_save()
        self.assertEqual(s.wait_exit(), 0)
        self.assertEqual(self.files(s), ["VELKAN.INI"])

    def test_f4_held_keeps_the_main_window_open(self):
        s = self.session(device=dict(files={"ABC": b"\x12\x34"}, args=["--fast"]))
        log = s.fetch(["ABC"], read_log=True)  # holds F4, checks the window stays
        self.assertEqual(log, ["Receiving file ABC..."])
        self.assertEqual(s.read("GAME.TAP"), IMAGE)


if __name__ == "__main__":
    harness.main()
