#!/bin/sh
# check_desktop_files.sh BUILD_DIR: `cmake --install` brings a desktop entry that
# desktop-file-validate accepts and a MIME description that gives *.vpx and *.vpa
# the two types the entry claims, so a double-clicked file opens in the program.
# Exits 77 (skipped) when the desktop tools are not installed.
set -eu
for tool in desktop-file-validate update-mime-database; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed (desktop-file-utils, shared-mime-info)"; exit 77; }
done
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
entry="$prefix/share/applications/vorpex.desktop"
mime="$prefix/share/mime/packages/vorpex.xml"
test -s "$entry" || { echo "desktop entry not installed"; exit 1; }
test -s "$mime" || { echo "MIME description not installed"; exit 1; }
desktop-file-validate "$entry" || { echo "desktop-file-validate rejects $entry"; exit 1; }
grep -qx 'Exec=vorpex %F' "$entry" || { echo "the entry does not pass the files on"; exit 1; }

# The database built from the description alone must know both globs, each under
# a type the entry lists.
# (Pointed at its own tree, it has nothing to say unless the description is broken.)
XDG_DATA_DIRS="$prefix/share" update-mime-database "$prefix/share/mime" 2>"$prefix/mime-errors"
if [ -s "$prefix/mime-errors" ]; then cat "$prefix/mime-errors"; echo "the MIME description has errors"; exit 1; fi
claimed=$(sed -n 's/^MimeType=//p' "$entry")
for pair in 'application/x-vorpex-commands:*.vpx' 'application/x-vorpex-autoreply:*.vpa'; do
  type=${pair%%:*}
  glob=${pair#*:}
  grep -qxF "$type:$glob" "$prefix/share/mime/globs" || { echo "$glob is not $type in the MIME database"; exit 1; }
  case ";$claimed" in *";$type;"*) ;; *) echo "the desktop entry does not list $type"; exit 1 ;; esac
done
echo "installed: $entry, $mime"
