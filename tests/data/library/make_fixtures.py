#!/usr/bin/env python3
"""Writes the command file fixtures of the library tests (code page 932, exact line ends)."""
import pathlib

HERE = pathlib.Path(__file__).resolve().parent


def write(name, lines, end=b"\r\n", tail=True):
    data = end.join(line.encode("cp932") for line in lines)
    if tail and lines:
        data += end
    (HERE / name).write_bytes(data)


# Japanese names and strings; 表 ソ 能 end in 0x5C, ポ in 0x7C.
JAPANESE = [
    "0 装置",
    "1 状態表示",
    "2 読み出し=2:0x01,0x03",
    "2 ソフト=3:\"ポート=1: 表示\"",
    "2 能力|ポ=0:0x02 \"表 ソ\"",
    "1 リセット=1:RESET = 1 : ソ ポ 表",
    "1 空=0:",
    "1 コロン: 名前 付き=0:'a:b=c'",
    "0 ルート コマンド=1:テキスト 能 表",
    "0 Device",
    "1 Status",
    "2 Read=2:0x01,0x03",
    "1 Reset=1:RESET",
    "0 表",
]
write("japanese.vpx", JAPANESE)

SMALL = ["0 装置", "1 表示=0:0x01", "1 グループ", "2 ポ=1:ソ 表", "0 End=3:0x7C"]
write("small_crlf.vpx", SMALL)
write("small_lf.vpx", SMALL, b"\n")
write("small_cr.vpx", SMALL, b"\r")
write("small_cr_no_final_end.vpx", SMALL, b"\r", tail=False)

write("skipped_lines.vpx", [
    "0 Top",
    "1 A=7:x",       # mode code out of range
    "1 A=x",         # no colon after the equals sign
    "X A",           # level not an integer
    "1A",            # no blank
    " 1 Lead",       # starts with a blank
    "1 A=:x",        # empty mode code
    "1 A=1x:x",      # mode code not an integer
    "1.5 A",         # level not an integer
    "1 Kept=0:0x01",
    "1 a=b",         # a group named a=b comes back as a broken command line
    "1 a=1:b",       # a group named a=1:b comes back as a text command
    "1 Empty=0:",
])

write("level_gap.vpx", ["0 A", "2 B"])
write("first_line_level_one.vpx", ["1 G", "2 H", "3 I=0:x", "1 J", "-1 K", "0 L"])
write("empty_line_middle.vpx", ["0 A", "1 B=0:x", "", "0 C", "1 D=0:y"])
(HERE / "empty.vpx").write_bytes(b"")
