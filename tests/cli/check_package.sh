#!/bin/sh
# check_package.sh BUILD_DIR: the Debian package made from the built tree holds
# a working program. It is made with cpack as scripts/package makes it, unpacked
# into a temporary root (dpkg -x), and then: the unpacked vorpex-cli answers
# --help, the unpacked vorpex starts on the offscreen platform in English and
# saves a picture of its window, the desktop entries, MIME descriptions and the
# AppStream file pass their validators, and lintian (when installed) finds no
# error.
set -eu
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/vorpex_*.deb)
root="$work/root"
dpkg -x "$deb" "$root"

dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the Qt libraries: $(dpkg-deb -f "$deb" Depends)"
for f in usr/bin/vorpex usr/bin/vorpex-cli usr/share/man/man1/vorpex.1.gz usr/share/man/man1/vorpex-cli.1.gz \
         usr/share/doc/vorpex/copyright usr/share/doc/vorpex/changelog.gz usr/share/doc/vorpex/help/vorpex.html \
         usr/share/doc/vorpex/help/en/vorpex.html usr/share/vorpex/translations/vorpex_en.qm \
         usr/share/icons/hicolor/scalable/apps/vorpex.svg; do
  test -s "$root/$f" || fail "$f is not in the package"
done

"$root/usr/bin/vorpex-cli" --help | grep -q '^Usage: vorpex-cli compile' || fail "installed vorpex-cli --help"

config="$work/config"
mkdir -p "$config"
XDG_CONFIG_HOME=$config XDG_STATE_HOME=$config/state VORPEX_LOCAL_ADDRESS=127.0.0.1 QT_QPA_PLATFORM=offscreen \
  VORPEX_SCREENSHOT="$work/window.png" timeout 60 "$root/usr/bin/vorpex" --lang en >"$work/run.log" 2>&1 ||
  { cat "$work/run.log"; fail "installed vorpex did not start and save its picture"; }
test -s "$work/window.png" || fail "no window picture"

desktop=$(ls "$root"/usr/share/applications/*.desktop)
for d in $desktop; do
  desktop-file-validate "$d" || fail "desktop-file-validate $d"
done
for x in "$root"/usr/share/mime/packages/*.xml; do
  [ -e "$x" ] || continue
  xmllint --noout "$x" || fail "$x is not well-formed"
  mkdir -p "$work/mime/packages"
  cp "$x" "$work/mime/packages/"
done
if [ -d "$work/mime/packages" ]; then
  # update-mime-database reports a bad description on standard error; pointed at
  # its own tree it has nothing else to say there.
  XDG_DATA_DIRS="$work" update-mime-database "$work/mime" >/dev/null 2>"$work/mime.log" || { cat "$work/mime.log"; fail "update-mime-database"; }
  if [ -s "$work/mime.log" ]; then cat "$work/mime.log"; fail "MIME description has problems"; fi
fi
for m in "$root"/usr/share/metainfo/*.xml; do
  appstreamcli validate --no-net --pedantic "$m" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "appstreamcli validate $m"; }
done

if command -v lintian >/dev/null 2>&1; then
  lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
  if grep -q '^E: ' "$work/lintian.log"; then cat "$work/lintian.log"; fail "lintian reports errors"; fi
  grep -q '^[EW]: ' "$work/lintian.log" && cat "$work/lintian.log"
else
  echo "lintian not installed: not run"
fi
echo "package: $(basename "$deb"), unpacked and run"
