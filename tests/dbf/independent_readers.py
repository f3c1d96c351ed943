#!/usr/bin/python3
"""Our tables read by independent readers, and theirs read by us, value for value.

usage: independent_readers.py <dbf_helper> <samples folder>

1. dbf_helper writes tables with every field type and memos; dbfread (python3-dbfread)
   and DBD::XBase (libdbd-xbase-perl, dbf_dump) read them. Both take FoxPro block memos
   from a ".FPT" file (DBD::XBase reads any ".DBT" as dBase III/IV), so they get the
   table with a copy of our ".DBT" under that name.
2. Every sample table is read by dbfread and by dbf_helper dump; every record and field
   must agree (live and deleted records alike). One known difference: in dBase IV memos
   dbfread takes the block's length as the text's, though it counts the 8-byte block
   header (see the formats page), and cuts at 0x1F; there dbfread's text must begin with
   ours.
"""
import datetime
import decimal
import json
import os
import shutil
import subprocess
import sys
import tempfile

import dbfread

helper, samples = sys.argv[1], sys.argv[2]
failures = []


def ours(table):
    out = subprocess.run([helper, "dump", table], check=True, capture_output=True, text=True)
    return [json.loads(line) for line in out.stdout.splitlines()]


def norm(v):
    if v is None:
        return None
    if isinstance(v, bool):
        return v
    if isinstance(v, (int, float, decimal.Decimal)):
        return round(float(v), 6)
    if isinstance(v, str):
        return v.rstrip(" \0")
    if isinstance(v, datetime.datetime):
        ms = ((v.hour * 60 + v.minute) * 60 + v.second) * 1000 + v.microsecond // 1000
        return "%sT%d" % (v.date().isoformat(), ms)
    if isinstance(v, datetime.date):
        return v.isoformat()
    return repr(v)


def theirs_value(v, ours_v):
    # The readers give "nothing" where we give the field's empty value.
    if v is None and isinstance(ours_v, bool):
        return False
    if v is None and isinstance(ours_v, (int, float)) and not isinstance(ours_v, bool):
        return 0.0
    if v is None and ours_v == "":
        return ""
    return norm(v)


def compare(name, table, mine):
    dbase4_memos = table.header.dbversion == 0x8B
    theirs = [(False, r) for r in table] + [(True, r) for r in table.deleted]
    live = [r for r in mine if not r["_deleted"]] + [r for r in mine if r["_deleted"]]
    if len(theirs) != len(live):
        failures.append("%s: %d records, dbfread %d" % (name, len(live), len(theirs)))
        return
    for n, ((deleted, rec), our) in enumerate(zip(theirs, live), 1):
        if deleted != our["_deleted"]:
            failures.append("%s record %d: deleted flag differs" % (name, n))
        for field, value in rec.items():
            if field.upper() not in our:
                continue  # system fields (_NullFlags) we do not show
            a = norm(our[field.upper()])
            b = theirs_value(value, our[field.upper()])
            if dbase4_memos and isinstance(a, str) and isinstance(b, str) and a:
                same = b.startswith(a)
            elif isinstance(a, float) and isinstance(b, float):
                same = abs(a - b) <= 1e-6 * max(1.0, abs(b))
            else:
                same = a == b
            if not same:
                failures.append("%s record %d %s: ours %r, dbfread %r" % (name, n, field, a, b))


with tempfile.TemporaryDirectory() as tmp:
    subprocess.run([helper, "make", tmp], check=True)
    shutil.copy(os.path.join(tmp, "MIXED.DBT"), os.path.join(tmp, "MIXED.FPT"))
    mixed = dbfread.DBF(os.path.join(tmp, "MIXED.DBF"), encoding="cp1252")
    rows = list(mixed)
    expect = [
        {"NAME": "Caf\u00e8 cr\u00e8me", "AMOUNT": -1234.567, "COUNT": 42,
         "BORN": datetime.date(1999, 2, 28), "ACTIVE": True, "NOTES": "first memo"},
        {"NAME": "", "AMOUNT": 0, "COUNT": 0, "BORN": None, "ACTIVE": False, "NOTES": None},
        {"NAME": "x", "AMOUNT": 99999999.999, "COUNT": -9999,
         "BORN": datetime.date(2026, 2, 28), "ACTIVE": True, "NOTES": "L" * 700 + "\r\nend"},
    ]
    if mixed.header.dbversion != 0xF5 or len(rows) != 3 or len(list(mixed.deleted)) != 1:
        failures.append("MIXED: type %x, %d live records" % (mixed.header.dbversion, len(rows)))
    for n, (row, want) in enumerate(zip(rows, expect), 1):
        for k, v in want.items():
            got = row[k]
            if isinstance(v, float):
                ok = abs(float(got) - v) < 1e-6
            else:
                ok = (got == v) or (v is None and got in ("", None))
            if not ok:
                failures.append("MIXED record %d %s: dbfread %r, want %r" % (n, k, got, v))
    compare("MIXED", mixed, ours(os.path.join(tmp, "MIXED.DBF")))
    plain = dbfread.DBF(os.path.join(tmp, "PLAIN.DBF"), encoding="cp1252")
    compare("PLAIN", plain, ours(os.path.join(tmp, "PLAIN.DBF")))
    if plain.header.dbversion != 0x03 or plain.date != datetime.date.today():
        failures.append("PLAIN: type %x, date %s" % (plain.header.dbversion, plain.date))

    if shutil.which("dbf_dump"):
        fox = os.path.join(tmp, "fox")
        os.mkdir(fox)
        shutil.copy(os.path.join(tmp, "MIXED.DBF"), fox)
        shutil.copy(os.path.join(tmp, "MIXED.FPT"), fox)
        out = subprocess.run(["dbf_dump", "--fs", "|", os.path.join(tmp, "PLAIN.DBF")],
                             capture_output=True, text=True)
        lines = out.stdout.splitlines()
        if out.returncode != 0 or len(lines) != 50 or lines[49] != "C50|62.5|20200220":
            failures.append("dbf_dump PLAIN: rc %d, %d lines, last %r"
                            % (out.returncode, len(lines), lines[-1:]))
        out = subprocess.run(["dbf_dump", "--fs", "|", os.path.join(fox, "MIXED.DBF")],
                             capture_output=True)
        first = out.stdout.decode("cp1252").splitlines()[:1]
        if out.returncode != 0 or not first or not first[0].startswith(
                "Caf\u00e8 cr\u00e8me|-1234.567|42|19990228|1|first memo"):
            failures.append("dbf_dump MIXED: rc %d, first %r" % (out.returncode, first))
    else:
        print("dbf_dump (libdbd-xbase-perl) not installed: skipped")

    for folder, _, files in sorted(os.walk(samples)):
        for f in sorted(files):
            if not f.lower().endswith(".dbf"):
                continue
            path = os.path.join(folder, f)
            local = os.path.join(tmp, f)
            shutil.copy(path, local)
            for memo in os.listdir(folder):
                if os.path.splitext(memo)[0] == os.path.splitext(f)[0] and memo != f:
                    shutil.copy(os.path.join(folder, memo), os.path.join(tmp, memo))
            try:
                table = dbfread.DBF(local, encoding="cp1252", char_decode_errors="replace")
                list(table)
            except Exception as e:  # a type the reader does not know
                print("%s: dbfread cannot read it (%s): skipped" % (f, e))
                continue
            compare(f, table, ours(local))
            print("%s: %d records agree" % (f, len(table) + len(table.deleted)))

for f in failures:
    print("FAIL", f)
sys.exit(1 if failures else 0)
