#!/usr/bin/python3
"""The table tool on real tables: check passes on every sample and on the tables the
index tests write, finds a spoiled index and passes again after reindex; finds a leaf's
free-byte count that disagrees with its keys and bytes left after the records, without
touching the file; dump follows an order; info lists the orders.

usage: table_tool.py <velkan-dbf> <cdx_helper> <samples folder>
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

tool, helper, samples = sys.argv[1], sys.argv[2], sys.argv[3]
failures = []


def run(*args):
    return subprocess.run([tool, *args], capture_output=True, text=True, encoding="utf-8")


with tempfile.TemporaryDirectory() as tmp:
    copy = os.path.join(tmp, "samples")
    shutil.copytree(samples, copy)
    for table in sorted(glob.glob(os.path.join(copy, "*", "*.[dD][bB][fF]"))):
        r = run("check", table)
        if r.returncode != 0:
            failures.append("check %s: %d %s" % (table, r.returncode, r.stdout + r.stderr))

    # A leaf's free-byte count one off: one line naming the file, the tag and the page.
    fox = os.path.join(copy, "infused-foxprodb")
    data = bytearray(open(os.path.join(fox, "calls.CDX"), "rb").read())
    leaves = [at for at in range(1536, len(data), 512)
              if data[at] in (2, 3, 7) and data[at + 1] == 0 and 1 <= data[at + 23] <= 4]
    data[leaves[-1] + 12] ^= 1
    open(os.path.join(fox, "calls.CDX"), "wb").write(bytes(data))
    r = run("check", os.path.join(fox, "calls.dbf"))
    lines = r.stdout.splitlines()
    if (r.returncode != 1 or len(lines) != 1 or
            not re.match(r"order \w+ \(.*calls\.CDX\): page %d: free-byte count" % leaves[-1],
                         lines[0])):
        failures.append("check missed the free-byte count: %d %s" % (r.returncode, r.stdout))

    # What follows the last record: the end byte alone, or nothing, is clean.
    original = open(os.path.join(fox, "setup.dbf"), "rb").read()
    for name, tail, clean in (("end byte", b"\x1a", True),
                              ("no end byte", b"", True),
                              ("another byte for the end byte", b"\x00", False),
                              ("bytes after the end byte", b"\x1a\x1a\x1a", False),
                              ("a record left uncounted", b" " * 55 + b"\x1a", False)):
        table = os.path.join(fox, "SPOILED.DBF")
        open(table, "wb").write(original[:-1] + tail)
        r = run("check", table)
        if (r.returncode == 0) != clean or (not clean and "after record" not in r.stdout):
            failures.append("check with %s: %d %s" % (name, r.returncode, r.stdout))
        if open(table, "rb").read() != original[:-1] + tail:
            failures.append("check with %s changed the table" % name)

    subprocess.run([helper, "make", tmp], check=True)
    table, index = os.path.join(tmp, "MIXED.DBF"), os.path.join(tmp, "MIXED.CDX")
    r = run("check", table)
    if r.returncode != 0 or r.stdout:
        failures.append("check of our table: %d %s" % (r.returncode, r.stdout))
    info = run("info", table).stdout
    for tag in ("NAME", "AMOUNT", "DAY", "ACTIVE", "NUMBER", "UNAME", "PAID"):
        if " %s in " % tag not in info:
            failures.append("info lacks order %s:\n%s" % (tag, info))
    if "key name for amount > 0" not in info or "unique" not in info:
        failures.append("info lacks the FOR text or the unique mark:\n" + info)

    # dump in index order: the NUMBER order is the natural one, NAME sorts the names.
    rows = run("dump", table, "--order", "NAME").stdout.splitlines()
    names = [line.split(",")[1] for line in rows[1:]]
    if len(names) != 3400 or names != sorted(names, key=lambda s: s.encode("cp1252")):
        failures.append("dump --order NAME is not in name order (%d rows)" % len(names))

    # A spoiled key byte in a leaf: check reports it (exit 1), reindex repairs it.
    data = bytearray(open(index, "rb").read())
    leaves = [at for at in range(1024, len(data), 512) if data[at:at + 2] == b"\x02\x00"]
    data[leaves[len(leaves) // 2] + 500] ^= 0x5A
    open(index, "wb").write(bytes(data))
    r = run("check", table)
    if r.returncode != 1 or not r.stdout:
        failures.append("check missed the spoiled index: %d %s" % (r.returncode, r.stdout))
    r = run("reindex", table)
    if r.returncode != 0:
        failures.append("reindex failed: %s" % r.stderr)
    r = run("check", table)
    if r.returncode != 0:
        failures.append("check after reindex: %s" % r.stdout)
    if os.path.exists(os.path.join(tmp, "MIXED.$RX")):
        failures.append("reindex left its work file")

for f in failures:
    print("FAIL", f)
print("table tool: %d problems" % len(failures))
sys.exit(1 if failures else 0)
