"""The round trip: the emulator serves a real tape, the user asks for all its names in
order, and the saved image is the served one, byte for byte, and a valid tape."""

import os
import re
import subprocess

import harness


def round_trip_tapes():
    """The tapes the folder's README marks as carried whole by the protocol."""
    with open(os.path.join(harness.TAPES, "README.md"), encoding="utf-8") as f:
        rows = re.findall(r"^\| `([^`]+\.tap)` \|[^|]*\|[^|]*\| (yes|no)\b", f.read(), re.M)
    return [name for name, answer in rows if answer == "yes"]


class RoundTrip(harness.TestCase):
    def test_sample_tapes(self):
        tapes = round_trip_tapes()
        self.assertGreaterEqual(len(tapes), 4)
        for name in tapes:
            with self.subTest(name):
                path = harness.tape(name)
                with open(path, "rb") as f:
                    served = f.read()
                names = [n.decode("cp1252").rstrip(" ") for n in harness.tap_names(served)]
                s = self.session(device=dict(tap=path, args=["--fast"]))
                s.fetch(names)
                self.assertEqual(s.read("GAME.TAP"), served)
                self.assertEqual(s.device.wait(), 0)
                listing = subprocess.run(["tzxlist", s.path("GAME.TAP")], capture_output=True,
                                         text=True)
                self.assertEqual(listing.returncode, 0, listing.stderr)
                self.assertNotIn("FAIL", listing.stdout)


if __name__ == "__main__":
    harness.main()
