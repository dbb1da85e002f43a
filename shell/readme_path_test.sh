#!/usr/bin/env bash
# The README's path, in order, in a fresh clone of the committed tree and
# without a display, as on a CI machine: ./scripts/run --version, then
# ./scripts/demo --screenshot FILE (which builds what it needs and runs in a
# network namespace of its own). The picture must show the graph, and nothing
# may be left in the checkout but the ignored build directory.
#   readme_path_test.sh SOURCE_DIR
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
src=${1:?usage: readme_path_test.sh SOURCE_DIR}
fail() { echo "FAIL: $*" >&2; exit 1; }
[[ ${PLOVEX_NETNS:-} == 1 ]] || fail "refusing to run outside the test run's network namespace"
tmp=$(mktemp -d -t plovex-readme.XXXXXX)
trap 'rm -rf "$tmp"' EXIT

git() { command git -c safe.directory='*' "$@"; }
commit=$(git -C "$src" rev-parse HEAD 2>/dev/null) || { echo "not a git checkout; skipped"; exit 77; }
git clone -q --no-checkout "$src" "$tmp/plovex"
git -C "$tmp/plovex" checkout -q --detach "$commit"
cd "$tmp/plovex"
# As a new user would: no display, no build directory or tool of the
# test run's own.
unset DISPLAY WAYLAND_DISPLAY PLOVEX_BUILD_DIR PLOVEX_DEFAULT_HIVE
if command -v ccache >/dev/null; then
  # Only to be quicker where a cache exists; the build is the clone's own.
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=$tmp CCACHE_NOHASHDIR=1
fi

version=$(./scripts/run --version 2>"$tmp/run.log" | tail -1) || { cat "$tmp/run.log"; fail "scripts/run"; }
[[ $version == "Plovex 1.2.1" ]] || fail "scripts/run --version printed '$version'"

./scripts/demo --screenshot "$tmp/shot.png" --after 8 >"$tmp/demo.log" 2>&1 ||
  { cat "$tmp/demo.log"; fail "scripts/demo"; }
/usr/bin/python3 - "$tmp/shot.png" <<'PY' || fail "the screenshot shows no graph"
import sys
from PIL import Image
shot = Image.open(sys.argv[1]).convert("RGB")
green = sum(shot.getpixel((x, y)) == (0, 128, 0) for x in range(shot.width) for y in range(shot.height))
print("screenshot %dx%d, %d green pixels" % (shot.width, shot.height, green))
sys.exit(0 if shot.width >= 400 and shot.height >= 160 and green > 0 else 1)
PY

left=$(git status --porcelain --ignored | grep -v '^!! build/$' || true)
[[ -z $left ]] || fail "left in the checkout: $left"
echo ok
