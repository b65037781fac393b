#!/usr/bin/env python3
"""Writes the auto-reply fixtures of this folder: code page 932 text with exact
line ends. Run it again after changing a fixture here; the files are committed."""

import pathlib

HERE = pathlib.Path(__file__).parent


def write(name, lines, end="\r\n", final=True):
    data = end.join(lines) + (end if final else "")
    (HERE / name).write_bytes(data.encode("cp932"))


# Every rule of the line format, one line each; the comments say which lines make rows.
write("rules.vpa", [
    "種別\t比較データ\t受信コメント\t送信コメント\t送信データ",  # heading: no row
    "0\t01",                                   # row 1: lookup, no comments
    "1\t02\ta\tb",                             # type 1 with 4 fields: no row
    "1\t01\t\t\t",                             # row 2: direct, empty reply
    "2\t01",                                   # no row: type 2
    "x\t01",                                   # no row: not a number
    "1 \t01\t\t\t00",                          # no row: blank after the digit
    "1\t01",                                   # no row: type 1 with two fields
    "no tab at all",                           # no row
    " 1\t01\t\t\t00",                          # row: leading blank allowed
    "1\t%LENS\tr\ts\t00",                      # no row: no items
    "1\tzz\tr\ts\t00",                         # no row: notation error
    "0\tBS1\t表示ソ\tPING",                      # row: big-endian 00 01
    "0\tS1\t小さい\tPING",                       # row: little-endian 01 00
    "",                                        # blank line: no row
    "1\t0x01, ?, *\t要求\t応答\t0x81, 0x00\textra\tfields",  # row: fields after the fifth ignored
])

# The same two rows with every kind of line end, the last line without one.
for name, end in (("crlf.vpa", "\r\n"), ("lf.vpa", "\n"), ("cr.vpa", "\r")):
    write(name, ["1\t01\t受信\t送信\t81", "0\t*\t\tPING"], end=end)
(HERE / "mixed_ends.vpa").write_bytes(
    "1\t01\t受信\t送信\t81\r0\t02\t\tPING\n1\t03\tc\td\t83\r\n0\t*\t\tPONG".encode("cp932"))

# Nothing in it makes a row.
write("no_rows.vpa", ["自動返信データ", "", "# remark", "2\t01", "1\t02\ta\tb"])
