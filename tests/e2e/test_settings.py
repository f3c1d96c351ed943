"""Start-up as the user meets it: the settings file, the port named there, a port that
does not exist, and the file list cancelled."""

import os

import harness
from harness import FILE_LIST, MAIN_PREFIX, NOTICE, SAVE_AS

WRITTEN_BACK = b"[Impostazioni]\r\nPorta=COM1\r\n"


class Settings(harness.TestCase):
    def test_default_port_written_back(self):
        # Natively COM1 is the machine's own first serial port, which the tests leave
        # alone: they check the file and cancel. Under Wine COM1 is mapped to the emulator
        # and the whole transfer runs on it.
        cases = {
            "no settings file": None,
            "empty value": b"[Impostazioni]\r\nPorta=\r\n",
            "blank value": b"[Impostazioni]\r\nPorta=   \r\n",
        }
        for label, ini in cases.items():
            with self.subTest(label):
                if harness.WINE:
                    s = self.session(ini=ini, port_name="COM1",
                                     device=dict(files={}, args=["--fast"]))
                    user = s.start()
                    user.window(FILE_LIST)
                    self.assertEqual(s.read("VELKAN.INI"), WRITTEN_BACK)
                    user.click(FILE_LIST, "Start")
                    user.window(SAVE_AS)
                    self.assertTrue(user.caption(MAIN_PREFIX).endswith("  (COM1:57600,N,8,1)"))
                    user.cancel_save()
                    self.assertEqual(s.wait_exit(), 0)
                    self.assertEqual(s.device.wait(), 0)
                else:
                    s = self.session(ini=ini)
                    user = s.start()
                    user.window(FILE_LIST)
                    self.assertEqual(s.read("VELKAN.INI"), WRITTEN_BACK)
                    user.click(FILE_LIST, "Cancel")
                    self.assertEqual(s.wait_exit(), 0)

    def test_port_from_the_settings(self):
        # The caption names the port, and the device on that port hears the transfer.
        s = self.session(device=dict(files={}, args=["--fast"]),
                         port_name="COM3" if harness.WINE else None)
        original = s.read("VELKAN.INI")
        user = s.start()
        user.window(FILE_LIST)
        user.click(FILE_LIST, "Start")
        user.window(SAVE_AS)
        caption = user.caption(MAIN_PREFIX)
        self.assertTrue(caption.endswith("  (%s:57600,N,8,1)" % s.port), caption)
        user.cancel_save()
        self.assertEqual(s.wait_exit(), 0)
        self.assertEqual(s.device.wait(), 0)
        self.assertTrue(s.device.session_over())
        self.assertEqual(s.read("VELKAN.INI"), original)

    def test_port_that_does_not_exist(self):
        s = self.session(ini=b"[Impostazioni]\r\nPorta=COM9\r\n", port_name="COM9")
        user = s.start()
        user.window(FILE_LIST)
        user.add_name("ABC")
        user.click(FILE_LIST, "Start")
        user.window(NOTICE)
        self.assertEqual(user.notice_text(),
                         "Errore di apertura della porta di comunicazione (COM9).")
        self.assertFalse(user.shown(MAIN_PREFIX))
        user.answer(ok=True)
        self.assertEqual(s.wait_exit(), 0)
        self.assertEqual(os.listdir(s.folder), ["VELKAN.INI"])

    def test_cancel_in_the_file_list(self):
        # The program ends without a main window and never opens the port.
        s = self.session(device=dict(files={"ABC": b"\x01"}, args=["--fast"]))
        user = s.start()
        user.window(FILE_LIST)
        user.add_name("ABC")
        user.click(FILE_LIST, "Cancel")
        while s.running():
            self.assertFalse(user.shown(MAIN_PREFIX))
        self.assertEqual(s.wait_exit(), 0)
        self.assertIsNone(s.device.process.poll(), "the device still waits")
        self.assertEqual(s.device.log().count("\n"), 1, s.device.log())


if __name__ == "__main__":
    harness.main()
