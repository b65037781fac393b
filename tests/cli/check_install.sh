#!/bin/sh
# check_install.sh BUILD_DIR: `cmake --install` puts vorpex-cli and its man page
# under the prefix, and the installed program runs.
set -eu
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/vorpex" || { echo "vorpex not installed"; exit 1; }
test -x "$prefix/bin/vorpex-cli" || { echo "vorpex-cli not installed"; exit 1; }
man="$prefix/share/man/man1/vorpex-cli.1"
test -s "$man" || { echo "man page not installed"; exit 1; }
grep -q '^\.TH VORPEX-CLI 1' "$man" || { echo "man page has no title line"; exit 1; }
grep -q '^\.SH RESPOND' "$man" || { echo "man page lacks the respond section"; exit 1; }
"$prefix/bin/vorpex-cli" --help | grep -q '^Usage: vorpex-cli compile' || { echo "installed --help differs"; exit 1; }
echo "installed: $prefix/bin/vorpex-cli, $man"
