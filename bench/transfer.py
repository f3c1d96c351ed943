#!/usr/bin/env python3
"""Transfer benchmark: the real program fetches files from the device emulator over a
pseudo-terminal, worked by the end-to-end harness's user.

  unpaced   the emulator sends as fast as it can; the program's bytes per second, as a
            ratio of the same emulator writing the same answers into a plain reader (a
            blocking read loop on the terminal) in the same run
  paced     the emulator keeps to the line rate (5760 bytes per second); the processor
            time the program uses per second of transfer, from /proc/<pid>/stat

and the program's peak memory (VmHWM): at the end of the transfer, and over the whole run
with the save dialog; beside it the floor of the toolkit alone (bench/qt_floor, when
built: a Qt program with only a window, then Qt's save dialog). A transfer is timed from
the device's side: from the first request it reads to the end byte. Under Wine
(VELKAN_E2E_PROGRAM a .exe, inside scripts/wine-session) only the throughput is measured.

  bench/transfer.py [--build DIR] [--runs N] [--smoke]

Exits 1 when the saved image is not the one served (a figure of a damaged transfer means
nothing); the targets are printed beside the figures, not enforced.
"""

import argparse
import os
import random
import re
import statistics
import shutil
import subprocess
import sys
import tempfile
import tty
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LINE_RATE = 5760  # bytes per second at 57600 baud, 8N1
FILE_SIZE = 65535  # the longest file the protocol carries
FILES = 5  # 5 x 65535 bytes: more than 256 KiB
ANSWER_OVERHEAD = 9  # reply byte, type, length, two parameters, closing byte
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")

TARGETS = {  # (unpaced bytes per second, natively; under Wine)
    "native": 5.76e6, "wine": 576e3}
CPU_TARGET = 1.0  # % of one core at the line rate
MEMORY_TARGET = 32 * 1024 * 1024


def configure(build):
    """The harness's configuration, unless the caller (CTest) gave it."""
    defaults = dict(VELKAN_E2E_PROGRAM=os.path.join(build, "velkan", "velkan"),
                    VELKAN_E2E_DEVICE=os.path.join(build, "tools", "device", "velkan-device"),
                    VELKAN_E2E_TAPES=os.path.join(ROOT, "tests", "data", "tap"))
    for name, value in defaults.items():
        os.environ.setdefault(name, value)
    sys.dont_write_bytecode = True  # nothing written into the source tree
    sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))


def processor_seconds(pid):
    """User and system time of every thread of the process so far."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def peak_memory(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) * 1024
    raise AssertionError("no VmHWM for %d" % pid)


class Clock:
    """Called with each line of the device's log: notes when the first request and the end
    byte arrived and, with a process to watch, its processor time and memory then."""

    def __init__(self):
        self.pid = None  # a callable giving the process id, when there is one to watch
        self.start = self.end = None  # (time, processor seconds)
        self.memory_at_end = None

    def __call__(self, when, line):
        pid = self.pid() if self.pid else None
        sample = processor_seconds(pid) if pid else 0.0
        if self.start is None and line.startswith("velkan-device: request"):
            self.start = (when, sample)
        elif line.startswith("velkan-device: end byte"):
            self.end = (when, sample)
            if pid:
                self.memory_at_end = peak_memory(pid)

    def seconds(self):
        if self.start is None or self.end is None:
            raise AssertionError("the device saw no whole session")
        return self.end[0] - self.start[0]

    def processor(self):
        return self.end[1] - self.start[1]


def answers_size(files):
    return sum(len(data) + ANSWER_OVERHEAD for data in files.values())


def plain_reader(harness, files):
    """The emulator's answers read by a blocking loop on the terminal: bytes per second."""
    workdir = tempfile.mkdtemp(prefix="velkan-bench-")
    clock = Clock()
    device = harness.Device(workdir, files=files, args=["--fast"], on_line=clock)
    try:
        fd = os.open(device.pty, os.O_RDWR | os.O_NOCTTY)
        tty.setraw(fd)
        for name, data in files.items():
            os.write(fd, b"\x00" + harness.padded(name))
            answer = bytearray()
            while len(answer) < len(data) + ANSWER_OVERHEAD:
                answer += os.read(fd, 65536)
            if bytes(answer[8:8 + len(data)]) != data:
                raise AssertionError("the plain reader got other bytes for " + name)
        os.write(fd, b"\x09")
        if device.wait() != 0:
            raise AssertionError(device.log())
        os.close(fd)
    finally:
        device.stop()
        shutil.rmtree(workdir, ignore_errors=True)
    return answers_size(files) / clock.seconds()


class ProgramRun:
    """One run of the program fetching every file, the device paced or not."""

    def __init__(self, harness, files, paced):
        checks = unittest.TestCase()  # the harness reports through a test case's checks
        self.clock = Clock()
        args = [] if paced else ["--fast"]
        session = harness.Session(checks, device=dict(files=files, args=args,
                                                      on_line=self.clock))
        watch = not harness.WINE
        self.peak = None
        if watch:  # the device's first request comes after the program has started
            self.clock.pid = lambda: session.program.pid
        try:
            def at_the_end():
                if watch:
                    self.peak = peak_memory(session.program.pid)

            session.fetch(list(files), read_log=True, while_open=at_the_end)
            checks.assertEqual(session.device.wait(), 0, session.device.log())
            expected = b"".join(harness.file_blocks(harness.padded(name), 3, data)
                                for name, data in files.items())
            if session.read("GAME.TAP") != expected:
                raise AssertionError("the saved image is not the one served")
        finally:
            checks.doCleanups()
        self.rate = answers_size(files) / self.clock.seconds()

    def processor_share(self):
        """Processor time per second of transfer, in % of one core."""
        return 100.0 * self.clock.processor() / self.clock.seconds()


def toolkit_floor(harness, build):
    """bench/qt_floor's peak memory after each of its steps, on a display of its own and
    in the environment the harness gives the program; nothing when it is not built."""
    program = os.path.join(build, "bench", "qt_floor")
    if not os.path.exists(program):
        return None
    workdir = tempfile.mkdtemp(prefix="velkan-bench-")
    display = harness.Xvfb(workdir)
    try:
        env = dict(os.environ, DISPLAY=display.name, QT_QPA_PLATFORM="xcb",
                   XDG_RUNTIME_DIR=workdir, HOME=workdir)
        out = subprocess.run([program], env=env, cwd=workdir, capture_output=True,
                             timeout=60, check=True).stdout.decode()
    finally:
        display.stop()
        shutil.rmtree(workdir, ignore_errors=True)
    return {m.group(1): int(m.group(2)) * 1024
            for m in re.finditer(r"^qt_floor: (.+) (\d+) KiB$", out, re.M)}


def mib(n):
    return "%.1f MiB" % (n / 1024 / 1024)


def verdict(met):
    return "target met" if met else "TARGET NOT MET"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "native"),
                        help="the native build tree (default %(default)s)")
    parser.add_argument("--runs", type=int, default=3, help="unpaced runs of each side")
    parser.add_argument("--smoke", action="store_true",
                        help="two small files, one run: only shows that it works")
    args = parser.parse_args()
    configure(os.path.abspath(args.build))
    import harness

    count, size, runs = (2, 2048, 1) if args.smoke else (FILES, FILE_SIZE, args.runs)
    generator = random.Random(5)
    files = {"BENCH%d" % (i + 1): generator.randbytes(size) for i in range(count)}
    where = "wine" if harness.WINE else "native"
    print("transfer: %d files, %d bytes of answers, %s" % (count, answers_size(files), where))

    try:
        plain, program = [], []
        for _ in range(runs):
            plain.append(plain_reader(harness, files))
            program.append(ProgramRun(harness, files, paced=False))
        rate = statistics.median(r.rate for r in program)
        plain_rate = statistics.median(plain)
        print("unpaced: program %.3f MB/s, plain reader %.2f MB/s, ratio %.4f "
              "(medians of %d runs; %s: >= %.2f MB/s)"
              % (rate / 1e6, plain_rate / 1e6, rate / plain_rate, runs,
                 verdict(rate >= TARGETS[where]), TARGETS[where] / 1e6))
        if harness.WINE:
            return 0
        peak = max(max(r.peak, r.clock.memory_at_end) for r in program)
        paced = ProgramRun(harness, files, paced=True)
        share = paced.processor_share()
        peak = max(peak, paced.peak)
        print("paced: %.1f s at %.0f bytes/s, program processor %.2f %% of one core (%s: "
              "<= %.0f %%)" % (paced.clock.seconds(), paced.rate, share,
                               verdict(share <= CPU_TARGET), CPU_TARGET))
        print("peak memory: %s at the end of a transfer, %s over a whole run (%s: <= %s)"
              % (mib(max(r.clock.memory_at_end for r in program + [paced])), mib(peak),
                 verdict(peak <= MEMORY_TARGET), mib(MEMORY_TARGET)))
        floor = toolkit_floor(harness, os.path.abspath(args.build))
        if floor:
            print("toolkit floor (bench/qt_floor): %s with a window, %s after Qt's save "
                  "dialog" % (mib(floor["window"]), mib(floor["save dialog"])))
    except AssertionError as e:
        print("transfer: FAILED: %s" % e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
