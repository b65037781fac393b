#!/usr/bin/env bash
# Starts the real program on a virtual X display, lets it settle, takes a picture
# of its window and checks that it came up: the way a newcomer first meets it.
set -euo pipefail
exe=$1
out=$2
rm -f "$out"
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
XDG_CONFIG_HOME=$config XDG_STATE_HOME=$config/state VORPEX_LOCAL_ADDRESS=127.0.0.1 VORPEX_SCREENSHOT=$out QT_QPA_PLATFORM=xcb \
  timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" "$exe"
test -s "$out"
echo "window picture: $out"
