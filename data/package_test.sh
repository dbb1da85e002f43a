#!/usr/bin/env bash
# The Debian package, end to end:
#   package_test.sh SOURCE_DIR BUILD_DIR
# builds it with scripts/package, checks its name, control fields and exact
# contents, lintian (no errors), the metainfo (appstreamcli), the desktop
# entry, the manual page (man -l, no warnings) and the icons' sizes; then in a
# throw-away root (an overlay over / in a mount namespace of its own, so the
# machine's own files and package database are never touched) installs it
# with dpkg -i, runs the installed program, checks the user service and its
# template with systemd-analyze, and removes and purges it, leaving no file
# behind.
# Needs root for the mounts: exits 77 (skipped) without.
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
src=${1:?usage: package_test.sh SOURCE_DIR BUILD_DIR}
build=${2:?usage: package_test.sh SOURCE_DIR BUILD_DIR}
if [[ $(id -u) -ne 0 ]] || ! unshare --mount true 2>/dev/null; then
  echo "needs root and mount namespaces for the throw-away root; skipped"
  exit 77
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

deb=$(PLOVEX_BUILD_DIR=$build "$src/scripts/package" "$tmp/out" | tail -1)
arch=$(dpkg --print-architecture)
[[ $(basename "$deb") == "plovex_1.2.1_$arch.deb" ]] || fail "package named $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == plovex && $(field Version) == 1.2.1 && $(field Architecture) == "$arch" ]] ||
  fail "control: $(field Package) $(field Version) $(field Architecture)"
# Computed from the binary, plus what it loads without linking.
for dep in libc6 libqt6widgets6 libqt6gui6 libqt6core6 libqt6dbus6 libfreetype6 libfontconfig1 \
  qt6-qpa-plugins fonts-liberation; do
  field Depends | tr ',' '\n' | grep -q "^ *$dep\b" || fail "Depends lacks $dep: $(field Depends)"
done
# Native on a Wayland session rather than through XWayland.
field Recommends | tr ',' '\n' | grep -q '^ *qt6-wayland\b' ||
  fail "Recommends lacks qt6-wayland: $(field Recommends)"

dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}' | sort >"$tmp/files"
expected=(
  ./usr/bin/plovex
  ./usr/lib/systemd/user/plovex-headless.service
  ./usr/lib/systemd/user/plovex-headless@.service
  ./usr/share/applications/plovex.desktop
  ./usr/share/doc/plovex/changelog.gz
  ./usr/share/doc/plovex/copyright
  ./usr/share/icons/hicolor/scalable/apps/plovex.svg
  ./usr/share/man/man1/plovex.1.gz
  ./usr/share/metainfo/com.kestrune.plovex.metainfo.xml
)
for s in 16 22 24 32 48 64 128 256; do expected+=("./usr/share/icons/hicolor/${s}x$s/apps/plovex.png"); done
printf '%s\n' "${expected[@]}" | sort >"$tmp/expected"
diff -u "$tmp/expected" "$tmp/files" || fail "the package's files differ from the list above"
dpkg-deb --contents "$deb" | awk '$2 != "root/root" {exit 1}' || fail "files not owned by root"

lintian --allow-root --fail-on error "$deb" >"$tmp/lintian" 2>&1 || { cat "$tmp/lintian"; fail "lintian"; }
sed 's/^/lintian: /' "$tmp/lintian"

dpkg-deb -x "$deb" "$tmp/x"
appstreamcli validate --no-net "$tmp/x/usr/share/metainfo/com.kestrune.plovex.metainfo.xml"
desktop-file-validate "$tmp/x/usr/share/applications/plovex.desktop" || fail "desktop entry"
page=$tmp/x/usr/share/man/man1/plovex.1.gz
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >"$tmp/page.txt")
[[ -z $warnings ]] || fail "man -l warns: $warnings"
for part in "plovex --headless" "--version" "EXIT STATUS" "SIGTERM" "registry.reg" "OID1Last" \
  "WindowStayOnTop" "plovex --interfaces" "\"Interface\"=\"wan0\"" "plovex-headless.service" "WorkingDirectory=" "Plovex.gif" \
  "plovex-headless@.service" "--settings" "--metrics" "MetricsListen" "plovex_octets_total"; do
  grep -qF -- "$part" "$tmp/page.txt" || fail "the manual page does not mention $part"
done
/usr/bin/python3 - "$tmp/x/usr/share/icons/hicolor" <<'PY'
import sys
from PIL import Image
for s in (16, 22, 24, 32, 48, 64, 128, 256):
    im = Image.open("%s/%dx%d/apps/plovex.png" % (sys.argv[1], s, s))
    assert im.size == (s, s), "icon %d is %s" % (s, im.size)
    assert im.mode == "RGBA" and im.getpixel((0, 0))[3] < 16, "icon %d has no transparent corner" % s
PY

# Install, use and remove it in the throw-away root.
cp "$deb" "$tmp/plovex.deb"
cat >"$tmp/inside.sh" <<'INSIDE'
set -Eeuo pipefail
trap 'echo "inside.sh (throw-away root) line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
fail() { echo "FAIL (throw-away root): $*" >&2; exit 1; }
files=$(dpkg-deb --contents /plovex.deb | awk '$1 !~ /^d/ {print substr($6, 2)}')
for f in $files; do [[ ! -e $f ]] || fail "$f is there before the install"; done
dpkg -i /plovex.deb
[[ $(dpkg-query -W -f='${Status}' plovex) == "install ok installed" ]] || fail "not installed"
for f in $files; do [[ -e $f ]] || fail "$f not installed"; done
[[ $(plovex --version) == "Plovex 1.2.1" ]] || fail "plovex --version: $(plovex --version)"
set +e; plovex --bogus 2>/dev/null; status=$?; set -e
[[ $status -eq 2 ]] || fail "plovex --bogus exited $status"
[[ $(man -w plovex) == /usr/share/man/man1/plovex.1.gz ]] || fail "man does not find the page"
export XDG_RUNTIME_DIR=/run/user-test
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
systemd-analyze --user verify /usr/lib/systemd/user/plovex-headless.service ||
  fail "systemd-analyze verify"
# The template, through an instance, as systemctl would start it.
systemd-analyze --user verify /usr/lib/systemd/user/plovex-headless@office.service ||
  fail "systemd-analyze verify of an instance of the template"
dpkg -r plovex
for f in $files; do [[ ! -e $f ]] || fail "$f left after dpkg -r"; done
dpkg --purge plovex
[[ -z $(dpkg-query -W -f='${Status}' plovex 2>/dev/null | grep -v not-installed) ]] ||
  fail "still known to dpkg: $(dpkg-query -W -f='${Status}' plovex)"
[[ ! -e /usr/share/doc/plovex ]] || fail "/usr/share/doc/plovex left behind"
echo "throw-away root: installed, used, removed and purged"
INSIDE
unshare --mount --propagation private bash -Eeuo pipefail -c '
  trap "echo \"throw-away root setup line \$LINENO: \$BASH_COMMAND failed (status \$?)\" >&2" ERR
  tmp=$1
  mkdir "$tmp/layers"
  mount -t tmpfs tmpfs "$tmp/layers"
  mkdir "$tmp/layers/upper" "$tmp/layers/work" "$tmp/layers/root"
  root=$tmp/layers/root
  mount -t overlay overlay -o "lowerdir=/,upperdir=$tmp/layers/upper,workdir=$tmp/layers/work" "$root"
  mount -t proc proc "$root/proc"
  mount --rbind /dev "$root/dev"
  mount -t tmpfs tmpfs "$root/run"
  mount -t tmpfs tmpfs "$root/tmp"
  cp "$tmp/plovex.deb" "$tmp/inside.sh" "$root/"
  chroot "$root" /bin/bash /inside.sh
' _ "$tmp"
[[ ! -e /usr/bin/plovex ]] || dpkg -S /usr/bin/plovex >/dev/null 2>&1 ||
  fail "/usr/bin/plovex appeared outside the throw-away root"
echo ok
