#!/usr/bin/env bash
# Checks a built .deb: unpacks it into a temporary root, runs the installed
# console from there (--version, offscreen pictures with the simulated
# controller), validates the desktop entry and runs lintian (errors fail).
# Usage: check-package.sh PACKAGE.deb
set -euo pipefail
deb="$(realpath "$1")"
cd "$(dirname "$0")/.."
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

dpkg-deb -x "$deb" "$root"
bin="$root/usr/bin"
version="$(dpkg-deb -f "$deb" Version)"
want="$(sed -nE 's/^project\([^)]* VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)"
[ "$version" = "$want" ] || fail "package version $version, CMakeLists.txt says $want"
[ "$("$bin/drive-console" --version)" = "drive-console $version" ] || fail "drive-console --version does not say $version"
[ "$("$bin/drive-sim" --version)" = "drive-sim $version" ] || fail "drive-sim --version does not say $version"

# Only the programs and their data: no test programs, libraries or headers.
unexpected="$(cd "$root" && find . -type f ! -path './usr/bin/drive-console' ! -path './usr/bin/drive-sim' \
  ! -path './usr/share/*' -o -type f -iname '*test*')"
[ -z "$unexpected" ] || fail "unexpected files in the package: $unexpected"
for f in usr/share/applications/drive-console.desktop usr/share/man/man1/drive-console.1.gz \
         usr/share/icons/hicolor/scalable/apps/drive-console.svg \
         usr/share/icons/hicolor/48x48/apps/drive-console.png \
         usr/share/icons/hicolor/256x256/apps/drive-console.png; do
  [ -s "$root/$f" ] || fail "missing $f"
done

# Pictures with live values; the console quits by itself after them.
shots="$root/shots"
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$root/config" XDG_STATE_HOME="$root/state" \
  timeout 60 "$bin/drive-console" --simulate --screenshot-delay 2 --screenshots "$shots" \
  || fail "drive-console --screenshots failed"
count="$(find "$shots" -name '*.png' -size +1k | wc -l)"
[ "$count" -ge 12 ] || fail "only $count pictures in $shots"

desktop-file-validate "$root/usr/share/applications/drive-console.desktop"
# lintian warns when run as root (as in CI) but checks all the same.
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "check-package: $(basename "$deb") is fine"
