#!/usr/bin/python3
"""Index files read by an independent reader (DBD::XBase's index_dump), key for key.

usage: index_readers.py <cdx_helper> <samples folder>

1. Every sample index: each tag's keys and record numbers as we read them (cdx_helper
   keys) equal those index_dump prints, in the same order.
2. Our index file (cdx_helper make: character, numeric, date, logical, RECNO(), unique
   and FOR tags over 3400 records, deep enough for interior pages, changed after the
   build): index_dump reads the same tags, and each tag's keys equal both what we read
   and the keys computed here from the table's bytes.
"""
import datetime
import glob
import os
import struct
import subprocess
import sys
import tempfile

helper, samples = sys.argv[1], sys.argv[2]
failures = []


def ours(table, index):
    out = subprocess.run([helper, "keys", table, index], check=True, capture_output=True)
    return parse_keys(out.stdout.decode("latin-1"))


def parse_keys(text):
    tags = {}
    current = None
    for line in text.splitlines():
        if line.startswith("TAG "):
            _, name, kind, expr = line.split(" ", 3)
            current = tags[name] = {"type": kind, "expr": expr, "keys": []}
        else:
            key, recno = line.rsplit("|", 1)
            current["keys"].append((key, int(recno)))
    return tags


def theirs(index, tag, kind):
    t = "char" if kind in "CL" else "num"
    out = subprocess.run(["index_dump", "--type=" + t, index, tag], check=True,
                         capture_output=True)
    keys = []
    for line in out.stdout.decode("latin-1").splitlines():
        key, recno = line.rsplit(" ", 1)
        keys.append((key.rstrip(" \0"), int(recno)))
    return keys


def same_keys(a, b, kind):
    if len(a) != len(b):
        return False
    for (ka, ra), (kb, rb) in zip(a, b):
        if ra != rb:
            return False
        if kind in "CL":
            if ka != kb:
                return False
        elif abs(float(ka) - float(kb)) > 1e-6 * max(1.0, abs(float(kb))):
            return False
    return True


def check(what, a, b, kind):
    if not same_keys(a, b, kind):
        diff = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
        failures.append("%s: %d keys vs %d, first difference at %d: %r vs %r" % (
            what, len(a), len(b), diff, a[diff:diff + 2], b[diff:diff + 2]))


def tag_names(index):
    out = subprocess.run(["perl", "-MXBase::Index", "-e",
                          '$i = XBase::Index->new(shift, type => "C") or die; print join("\\n", $i->tags)',
                          index], check=True, capture_output=True, text=True)
    return sorted(out.stdout.split())


# 1. The samples.
for index in sorted(glob.glob(os.path.join(samples, "*", "*.CDX"))):
    table = index[:-4] + ".dbf"
    if not os.path.exists(table):
        continue
    tags = ours(table, index)
    if sorted(tags) != tag_names(index):
        failures.append("%s: tags %s vs %s" % (index, sorted(tags), tag_names(index)))
    for name, tag in tags.items():
        check("%s %s" % (os.path.basename(index), name), tag["keys"],
              theirs(index, name, tag["type"]), tag["type"])


# 2. Ours.
def records(table):
    """(recno, fields) of every record, deleted ones too, read from the bytes."""
    data = open(table, "rb").read()
    count, header, length = struct.unpack("<IHH", data[4:12])
    fields, at, offset = [], 32, 1
    while data[at] != 0x0D:
        name = data[at:at + 11].split(b"\0")[0].decode()
        width = data[at + 16]
        fields.append((name, offset, width))
        offset += width
        at += 32
    for n in range(count):
        rec = data[header + n * length: header + (n + 1) * length]
        yield n + 1, {name: rec[o:o + w] for name, o, w in fields}


def jdn(raw):
    if raw.strip() == b"":
        return 0
    d = datetime.date(int(raw[:4]), int(raw[4:6]), int(raw[6:8]))
    return d.toordinal() + 1721425


with tempfile.TemporaryDirectory() as tmp:
    subprocess.run([helper, "make", tmp], check=True)
    table, index = os.path.join(tmp, "MIXED.DBF"), os.path.join(tmp, "MIXED.CDX")
    ours_keys = parse_keys(open(os.path.join(tmp, "MIXED.keys"), encoding="latin-1").read())
    rows = list(records(table))
    text = lambda b: b.decode("latin-1")
    expected = {
        "NAME": sorted((r["NAME"], n) for n, r in rows),
        "AMOUNT": sorted((float(r["AMOUNT"]), n) for n, r in rows),
        "DAY": sorted((jdn(r["DAY"]), n) for n, r in rows),
        "ACTIVE": sorted((b"T" if r["ACTIVE"] == b"T" else b"F", n) for n, r in rows),
        "NUMBER": [(n, n) for n, _ in rows],
        "PAID": sorted((r["NAME"], n) for n, r in rows if float(r["AMOUNT"]) > 0),
    }
    first = {}
    for n, r in rows:
        first.setdefault(r["NAME"].upper(), n)  # UPPER() changes ASCII letters only
    expected["UNAME"] = sorted((k, n) for k, n in first.items())
    want = {name: [(text(k).rstrip(" ") if isinstance(k, bytes) else str(k), n) for k, n in keys]
            for name, keys in expected.items()}
    if sorted(ours_keys) != sorted(want) or tag_names(index) != sorted(want):
        failures.append("MIXED: tags %s, index_dump %s" % (sorted(ours_keys), tag_names(index)))
    for name, keys in want.items():
        kind = ours_keys[name]["type"]
        check("MIXED %s (computed vs index_dump)" % name, keys, theirs(index, name, kind), kind)
        check("MIXED %s (computed vs ours)" % name, keys, ours_keys[name]["keys"], kind)
    # Interior pages: every tag's root, at least, is one (attributes 1).
    data = open(index, "rb").read()
    roots = sum(1 for at in range(1024, len(data), 512) if data[at:at + 2] == b"\x01\x00")
    if roots < len(want):
        failures.append("MIXED: %d interior roots for %d tags" % (roots, len(want)))

for f in failures:
    print("FAIL", f)
print("index readers: %d problems" % len(failures))
sys.exit(1 if failures else 0)
