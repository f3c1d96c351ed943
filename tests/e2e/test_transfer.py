"""The transfer as the user sees it and the device hears it: what is asked for, what is
logged, and the TAP image saved, for well-behaved and faulty devices."""

import time

import harness
from harness import data_block, file_blocks, nothing_arrived, padded, xor

ABC = padded("ABC")
FAST = ["--fast"]


def worked_example():
    return bytes.fromhex("13 00 00 03 41 42 43 20 20 20 20 20 20 20 02 00 00 80 00 00 E1"
                         " 04 00 FF 12 34 D9")


def pattern(n):
    return bytes((i * 7 + 3) % 256 for i in range(n))


def late_parameter_image():
    # The first parameter byte comes after its wait gave up: it and the bytes behind it
    # are read one field late, and the last data byte is taken as the closing byte.
    body = b"\x03" + ABC + b"\x02\x00" + b"\x00\x80\x00"
    return b"\x13\x00\x00" + body + bytes([xor(body)]) + data_block(b"\x00\x12", length=2)


def lost_length_image():
    body = b"\x03" + ABC + b"\x03" + bytes(4)
    return b"\x13\x00\x00" + body + bytes([xor(body)]) + data_block(b"\x12\x34\x56")


def incomplete(name, description, data=None, of=None):
    counts = "data length lost" if data is None else "%d of %d data bytes" % (data, of)
    return "Warning: file %s incomplete (%d of 7 description bytes, %s)." % (
        name, description, counts)


class Transfer(harness.TestCase):
    # names typed, files the device holds, its options, the image, the log after the lines
    # "Receiving file ..."
    CASES = {
        "worked example": (["ABC"], {"ABC": b"\x12\x34"},
                           FAST + ["--type", "3", "--param1", "0x8000"],
                           worked_example(), []),
        "empty list": ([], {}, FAST, b"", []),
        "data length 0": (["ZERO"], {"ZERO": b""}, FAST,
                          harness.header_block(padded("ZERO"), 3, 0) +
                          b"\x02\x00\xff\xff", []),
        "lengths 65534 and 65535": (
            ["BIG1", "BIG2"], {"BIG1": pattern(65534), "BIG2": pattern(65535)}, FAST,
            file_blocks(padded("BIG1"), 3, pattern(65534)) +
            file_blocks(padded("BIG2"), 3, pattern(65535)), []),
        "two leading blanks": (["  ABC"], {"  ABC": b"\x01"}, FAST,
                               file_blocks(b"  ABC     ", 3, b"\x01"), []),
        "a name twice": (["ABC", "ABC"], {"ABC": b"\x05"}, FAST,
                         file_blocks(ABC, 3, b"\x05") * 2, []),
        # Reply byte, then nothing for 15 s: seven waits of 2 s give up; the closing wait
        # takes what comes at last.
        "silent for a whole file": (["ABC"], {"ABC": b""},
                                    FAST + ["--drop", "1,2,3,4,5,6,7", "--pause-before",
                                            "8:15000"],
                                    bytes.fromhex("13 00 00 41 42 43 20 20 20 20 20 20 20 60"
                                                  " 02 00 FF FF"),
                                    [incomplete("ABC", 0)]),
        # Two of four data bytes never come; the closing byte comes after 5 s.
        "silent inside the data": (["ABC"], {"ABC": b"\x12\x34\x56\x78"},
                                   FAST + ["--drop", "10,11", "--pause-before", "12:5000"],
                                   harness.header_block(ABC, 3, 4) +
                                   data_block(b"\x12\x34", length=4),
                                   [incomplete("ABC", 7, 2, 4)]),
        "a late byte": (["ABC"], {"ABC": b"\x12\x34"},
                        FAST + ["--type", "3", "--param1", "0x8000", "--pause-before",
                                "4:3000"],
                        late_parameter_image(), [incomplete("ABC", 6, 2, 2)]),
        # 3000 bytes 0x00 wait in the line when the port opens, more than its ring holds:
        # they are delivered once notifications are on, and taken for the first answer.
        "a chatty device": (["ABC"], {"ABC": b"\x12\x34"}, FAST + ["--chatter", "3000"],
                            harness.header_block(ABC, 0, 0) + data_block(b""), []),
        # The length's high byte never comes, and the rest only after its wait gave up.
        "a lost length byte": (["ABC"], {"ABC": b"\x12\x34\x56"},
                               FAST + ["--drop", "3", "--pause-before", "4:3000"],
                               lost_length_image(),
                               [incomplete("ABC", 6)]),
    }

    def test_cases(self):
        for label, (names, files, args, image, warnings) in self.CASES.items():
            with self.subTest(label):
                s = self.session(device=dict(files=files, args=args))
                log = s.fetch(names, read_log=True)
                self.assertEqual(s.read("GAME.TAP"), image)
                self.assertEqual(s.device.wait(), 0, s.device.log())
                self.assertEqual(s.device.requests(), [padded(n) for n in names])
                self.assertNotIn("unexpected byte", s.device.log())
                received = ["Receiving file %s..." % n.strip() for n in names]
                self.assertEqual([l for l in log if not l.startswith("Warning")], received)
                self.assertEqual([l for l in log if l.startswith("Warning")], warnings)

    def test_esc_held_from_the_start(self):
        # A device that never answers holds the transfer until Esc is held down; then
        # every wait gives up at once, and each file adds 18 bytes.
        s = self.session(device=dict(files={}, args=FAST))
        user = s.start()
        user.window(harness.FILE_LIST)
        for name in ("ABC", "DEF"):
            user.add_name(name)
        user.click(harness.FILE_LIST, "Start")
        user.window(harness.MAIN_PREFIX)
        self.assertFalse(user.shown(harness.SAVE_AS))
        time.sleep(1.0)
        self.assertFalse(user.shown(harness.SAVE_AS), "waiting for the reply byte")
        user.hold("Escape", harness.MAIN_PREFIX, 2.0)
        user.window(harness.SAVE_AS)
        user.released("Escape")
        user.save_as("game")
        self.assertEqual(s.wait_exit(), 0)
        self.assertEqual(s.read("GAME.TAP"), nothing_arrived(ABC) + nothing_arrived(padded("DEF")))
        self.assertEqual(s.device.wait(), 0)
        self.assertEqual(s.device.requests(), [ABC, padded("DEF")])


if __name__ == "__main__":
    harness.main()
