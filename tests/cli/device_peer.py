#!/usr/bin/env python3
"""A far end for vorpex-cli respond on 127.0.0.1, as a device under test would
talk to it: sends the given datagrams at the given moments, takes in every
answer meanwhile, and reports both with their times.

    device_peer.py PORT STEPS_JSON [LISTEN_MS]

STEPS_JSON is a list of {"at": MS, "hex": "01 03 ..."}: each datagram goes out
MS milliseconds after the start. After the last one the peer listens for
LISTEN_MS more (default 600). Standard output is one JSON object:
{"sent": [MS, ...], "received": [{"at": MS, "hex": "01 03 ..."}, ...]}.
"""
import json
import select
import socket
import sys
import time


def main():
    port = int(sys.argv[1])
    steps = json.loads(sys.argv[2])
    listen_ms = float(sys.argv[3]) if len(sys.argv) > 3 else 600.0
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind(("127.0.0.1", 0))
    start = time.monotonic()

    def now_ms():
        return (time.monotonic() - start) * 1000.0

    sent, received = [], []

    def take_in(until_ms):
        while True:
            left = until_ms - now_ms()
            if left <= 0:
                return
            ready, _, _ = select.select([sock], [], [], left / 1000.0)
            if ready:
                data = sock.recv(65536)
                received.append({"at": round(now_ms(), 1), "hex": data.hex(" ").upper()})

    for step in steps:
        take_in(float(step["at"]))
        sock.sendto(bytes.fromhex(step["hex"]), ("127.0.0.1", port))
        sent.append(round(now_ms(), 1))
    take_in(now_ms() + listen_ms)
    json.dump({"sent": sent, "received": received}, sys.stdout)


if __name__ == "__main__":
    main()
