#!/usr/bin/python3
"""A writer killed at random moments leaves a table that our engine and dbfread read alike.

usage: killed_writer.py [--runner <emulator>] <dbf_helper> [<kills>]

dbf_helper appends runs of records under the table lock (runs of a few thousand, so the
gathered records reach the file well before their count does) to an empty table, and is
killed once the file has grown to a random size. Then dbf_helper opens the table for writing
and lists it, and dbfread (python3-dbfread, which reads records up to the end byte or the
end of the file, not up to the count) reads the file: both must show the same records, and
every writer's records must run 1, 2, 3... from its first. With --runner the helper runs
through that emulator (the Windows build under Wine); the kill then reaches the program
itself, not the emulator's script, so it ends as abruptly as a native one.
"""
import json
import os
import random
import signal
import struct
import subprocess
import sys
import tempfile
import time

import dbfread

args = sys.argv[1:]
runner = []
if args[:1] == ["--runner"]:
    runner, args = [args[1]], args[2:]
helper = args[0]
kills = int(args[1]) if len(args) > 1 else 50
failures = []
# Runs of 4000 records of 49 bytes: the gathered records reach the file in 64 KiB pieces,
# two of them before the count is written.
kRecords, kBatch, kRecordLength = 12000, 4000, 49


def table_arg(path):
    # A Windows program under Wine reaches the Linux files through drive Z:.
    return "Z:" + path.replace("/", "\\") if runner else path


def descendants(pid):
    found = []
    for child in open("/proc/%d/task/%d/children" % (pid, pid)).read().split():
        found += [int(child)] + descendants(int(child))
    return found


def kill_hard(process):
    # The emulator's script would pass a gentler signal on; the program itself gets SIGKILL.
    targets = [process.pid] + (descendants(process.pid) if runner else [])
    for pid in reversed(targets):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    process.wait()


def ours(path):
    out = subprocess.run(runner + [helper, "dump", table_arg(path), "write"],
                         capture_output=True, text=True, timeout=60)
    if out.returncode != 0:
        failures.append("dump ended with %d: %s" % (out.returncode, out.stderr.strip()))
        return []
    return [(r["TAG"], int(r["SEQ"])) for r in map(json.loads, out.stdout.splitlines())]


def theirs(path):
    return [(r["TAG"].rstrip(), int(r["SEQ"])) for r in dbfread.DBF(path, encoding="cp1252")]


def make_table(path):
    # TAG C 40, SEQ N 8, no records: what the helper's append fills.
    fields = [(b"TAG", b"C", 40), (b"SEQ", b"N", 8)]
    head = struct.pack("<B3BIHH20x", 0x03, 126, 1, 1, 0, 32 + 32 * len(fields) + 1,
                       1 + sum(w for _, _, w in fields))
    for name, kind, width in fields:
        head += name.ljust(11, b"\0") + kind + bytes(4) + bytes([width, 0]) + bytes(14)
    with open(path, "wb") as f:
        f.write(head + b"\r\x1a")


with tempfile.TemporaryDirectory() as tmp:
    table = os.path.join(tmp, "KILLED.DBF")
    make_table(table)
    rng = random.Random(os.environ.get("VELKAN_KILL_SEED"))
    torn = 0
    for n in range(1, kills + 1):
        make_table(table)
        before = os.path.getsize(table)
        writer = subprocess.Popen(runner + [helper, "append", table_arg(table), str(kRecords),
                                            "W", str(kBatch)],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # The random moment: as soon as the file has grown to a random size (the writer
        # takes milliseconds only, so the file is watched without pause).
        target = before + rng.randrange(1, kRecords * kRecordLength)
        deadline = time.monotonic() + 60
        while os.path.getsize(table) < target and writer.poll() is None:
            if time.monotonic() > deadline:
                failures.append("writer %d never wrote" % n)
                break
        kill_hard(writer)
        with open(table, "rb") as f:
            head = f.read(12)
        count = int.from_bytes(head[4:8], "little")
        end = int.from_bytes(head[8:10], "little") + count * kRecordLength
        if os.path.getsize(table) > end + 1:
            torn += 1
        mine, other = ours(table), theirs(table)
        if mine != other:
            failures.append("kill %d: ours %d records, dbfread %d" % (n, len(mine), len(other)))
        if mine != [("W", i) for i in range(1, len(mine) + 1)]:
            failures.append("kill %d: the records are not the writer's first ones" % n)
    print("%d kills, %d left records past the count" % (kills, torn))
    if torn == 0:
        failures.append("no kill left records past the count: the case was not tried")

for f in failures:
    print("FAIL", f)
sys.exit(1 if failures else 0)
