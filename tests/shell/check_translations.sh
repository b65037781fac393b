#!/bin/sh
# check_translations.sh LUPDATE TS SOURCE_DIR: every text the sources mark for
# translation has its English in the .ts. lupdate runs over the sources into a
# copy of the .ts, as `update_translations` would; a new text then shows up as an
# unfinished entry, and one whose English was removed as an empty one.
set -eu
lupdate=$1
ts=$2
src=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$ts" "$work/check.ts"
find "$src" -name '*.cpp' -o -name '*.h' | sort > "$work/sources.lst"
"$lupdate" -source-language ja_JP -target-language en -locations none -no-obsolete -no-ui-lines \
  -tr-function-alias QT_TRANSLATE_NOOP+=VPX_TR_NOOP "@$work/sources.lst" -ts "$work/check.ts" >"$work/lupdate.log" 2>&1 ||
  { cat "$work/lupdate.log"; exit 1; }
# One message per line pair is enough to name what is missing.
missing=$(awk '
  /<name>/ { ctx = $0; gsub(/.*<name>|<\/name>.*/, "", ctx) }
  /<source>/ { src = $0; gsub(/.*<source>|<\/source>.*/, "", src) }
  /<translation type="unfinished"|<translation><\/translation>|<translation\/>/ { print ctx ": " src }
' "$work/check.ts")
if [ -n "$missing" ]; then
  echo "texts without English in $ts (refresh it with the update_translations target, then translate):"
  echo "$missing"
  exit 1
fi
# A Japanese text handed to a widget without being marked never reaches the .ts:
# QStringLiteral with Japanese in it is one, unless it is a font's name or a
# language's own name, which are the same in every language.
unmarked=$(find "$src" -name '*.cpp' | sort | xargs perl -CSD -ne '
  next if m{^\s*//};
  next if /\x{ff2d}\x{ff33}|QStringLiteral\("\x{ff37}"\)|QStringLiteral\("\x{65e5}\x{672c}\x{8a9e}\(&J\)"\)/;
  print "$ARGV:$.: $_" if /QStringLiteral\("[^"]*[\x{3000}-\x{30ff}\x{4e00}-\x{9fff}\x{ff00}-\x{ffef}]/;
  close ARGV if eof;')
if [ -n "$unmarked" ]; then
  echo "Japanese texts not marked for translation (QCoreApplication::translate, tr or QT_TRANSLATE_NOOP):"
  echo "$unmarked"
  exit 1
fi
count=$(grep -c '<message>' "$work/check.ts")
echo "$count texts, all translated"
