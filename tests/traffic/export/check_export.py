#!/usr/bin/env python3
"""Reads the probe's exported traffic log back with other programs' readers.

The pcapng through tshark (only ever reading the file): every packet's
direction, addresses, ports, payload, time and comment as the record holds
them, and no malformed packet or bad checksum in tshark's expert info. The CSV
through Python's csv module: every field as the record holds it.

    check_export.py PROBE TSHARK FOLDER
"""

import csv
import json
import subprocess
import sys
from datetime import datetime, timedelta, timezone
from pathlib import Path

# The probe and this script run with TZ=JST-9.
LOCAL = timezone(timedelta(hours=9))

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def tshark(binary, path, *arguments):
    command = [binary, "-r", str(path), "-n",
               "-o", "udp.check_checksum:TRUE", "-o", "ip.check_checksum:TRUE", *arguments]
    result = subprocess.run(command, capture_output=True, text=True, timeout=60)
    check(result.returncode == 0, f"tshark {' '.join(arguments)} exit {result.returncode}: {result.stderr}")
    warnings = [line for line in result.stderr.splitlines() if "Running as user" not in line and line.strip()]
    check(not warnings, f"tshark warned: {warnings}")
    return result.stdout


def check_pcapng(binary, folder, expected):
    local = expected["local"]
    records = expected["records"]
    fields = ["frame.time_epoch", "ip.src", "ip.dst", "udp.srcport", "udp.dstport", "udp.payload",
              "frame.comment", "frame.packet_flags_direction", "ip.checksum.status", "udp.checksum.status",
              "ip.len", "udp.length", "frame.len", "frame.cap_len", "_ws.malformed", "_ws.expert"]
    out = tshark(binary, folder / "log.pcapng", "-T", "fields", "-E", "separator=\t", "-E", "occurrence=a",
                 *sum((["-e", f] for f in fields), []))
    lines = out.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    check(len(lines) == len(records), f"{len(lines)} packets for {len(records)} records")
    for number, (line, record) in enumerate(zip(lines, records), start=1):
        got = dict(zip(fields, line.split("\t")))
        where = f"packet {number}"
        peer, me = (record["address"], record["port"]), (local["address"], local["port"])
        source, destination = (me, peer) if record["outgoing"] else (peer, me)
        check((got["ip.src"], int(got["udp.srcport"])) == source, f"{where}: source {got['ip.src']}:{got['udp.srcport']}")
        check((got["ip.dst"], int(got["udp.dstport"])) == destination,
              f"{where}: destination {got['ip.dst']}:{got['udp.dstport']}")
        payload = got["udp.payload"].replace(":", "").upper()
        check(payload == record["hex"].replace(" ", ""), f"{where}: payload of {len(payload) // 2} bytes differs")
        size = len(record["hex"].replace(" ", "")) // 2
        check(int(got["udp.length"]) == 8 + size, f"{where}: UDP length {got['udp.length']}")
        check(int(got["ip.len"]) == 28 + size, f"{where}: IP length {got['ip.len']}")
        check(got["frame.len"] == got["frame.cap_len"] == str(28 + size), f"{where}: frame {got['frame.len']}")
        # The time to the microsecond: seconds and the fraction as text, no float rounding.
        seconds, _, fraction = got["frame.time_epoch"].partition(".")
        micros = int(seconds) * 1_000_000 + int((fraction + "000000")[:6])
        check(micros == record["time_us"], f"{where}: time {got['frame.time_epoch']} for {record['time_us']} us")
        check(got["frame.comment"] == record["comment"], f"{where}: comment {got['frame.comment']!r}")
        direction = int(got["frame.packet_flags_direction"], 0)
        check(direction == (2 if record["outgoing"] else 1), f"{where}: direction flag {direction}")
        # 1: verified good (tshark's "Good" checksum status).
        check(got["ip.checksum.status"] == "1", f"{where}: IP checksum status {got['ip.checksum.status']}")
        check(got["udp.checksum.status"] == "1", f"{where}: UDP checksum status {got['udp.checksum.status']}")
        check(got["_ws.malformed"] == "", f"{where}: malformed")
        # The packet comment is tshark's only remark.
        remark = f"Expert Info (Comment/Comment): {record['comment']}" if record["comment"] else ""
        check(got["_ws.expert"] == remark, f"{where}: expert info {got['_ws.expert']!r}")

    # The expert summary over the whole file: a comment per commented packet, nothing else.
    summary = tshark(binary, folder / "log.pcapng", "-q", "-z", "expert")
    for bad in ("Malformed", "Bad checksum", "Error", "Warn"):
        check(bad not in summary, f"tshark's expert info has {bad}:\n{summary}")


def check_csv(folder, expected):
    raw = (folder / "log.csv").read_bytes()
    check(raw.startswith(b"\xef\xbb\xbf"), "the CSV starts without a UTF-8 byte-order mark")
    # A 65,507-byte payload is 196,520 characters of hex, beyond the module's default limit.
    csv.field_size_limit(1 << 20)
    with open(folder / "log.csv", newline="", encoding="utf-8-sig") as f:
        rows = list(csv.reader(f))
    records = expected["records"]
    check(rows[0] == ["時刻", "方向", "アドレス", "ポート", "長さ", "データ", "コメント", "取り込み値", "チェック"],
          f"CSV header {rows[0]}")
    check(len(rows) == len(records) + 1, f"{len(rows) - 1} CSV rows for {len(records)} records")
    for number, (row, record) in enumerate(zip(rows[1:], records), start=1):
        where = f"CSV row {number}"
        check(len(row) == 9, f"{where}: {len(row)} fields")
        if len(row) != 9:
            continue
        when = datetime.strptime(row[0], "%Y-%m-%d %H:%M:%S.%f").replace(tzinfo=LOCAL)
        micros = (when - datetime(1970, 1, 1, tzinfo=timezone.utc)) // timedelta(microseconds=1)
        check(micros == record["time_us"], f"{where}: time {row[0]}")
        check(row[1] == record["direction"], f"{where}: direction {row[1]}")
        check(row[2] == record["address"], f"{where}: address {row[2]}")
        check(int(row[3]) == record["port"], f"{where}: port {row[3]}")
        check(int(row[4]) == len(record["hex"].replace(" ", "")) // 2, f"{where}: length {row[4]}")
        check(row[5] == record["hex"], f"{where}: hex bytes differ")
        check(row[6] == record["comment"], f"{where}: comment {row[6]!r}")
        check(row[7] == record["fields"], f"{where}: captures {row[7]!r}")
        check(row[8] == record["check"], f"{where}: check {row[8]!r}")


def main():
    probe, binary, folder = sys.argv[1], sys.argv[2], Path(sys.argv[3])
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.iterdir():
        old.unlink()
    subprocess.run([probe, str(folder)], check=True, timeout=60)
    expected = json.loads((folder / "expected.json").read_text(encoding="utf-8"))
    check(any(r["comment"] == "自動返信・テスト" for r in expected["records"]), "no code page 932 comment")
    check_pcapng(binary, folder, expected)
    check_csv(folder, expected)
    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(expected['records'])} records checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
