#!/usr/bin/env bash
# Builds the Debian package bendwise_<version>_<arch>.deb into the top folder and checks
# it: lintian (no errors), appstreamcli on the installed tree, desktop-file-validate.
#
#   scripts/package.sh                 build and check; then: sudo apt-get install ./bendwise_*.deb
#   scripts/package.sh --install-test  also install it with apt-get, run both programs and
#                                      the manual page from PATH, purge it and check that
#                                      none of its files is left (needs root: CI does this)
#
# The programs are built in build-package/ with Debian's compiler and linker flags
# (dpkg-buildflags, all hardening on), without the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
install_test=false
case "${1:-}" in
  "") ;;
  --install-test) install_test=true ;;
  *) echo "usage: scripts/package.sh [--install-test]" >&2; exit 2 ;;
esac

scripts/install-deps.sh
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
tools=(dpkg-dev lintian appstream desktop-file-utils man-db)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

echo "== build the package =="
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBENDWISE_BUILD_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build-package -j"$(nproc)"
rm -f build-package/bendwise_*.deb bendwise_*.deb
if ! (cd build-package && cpack -G DEB >cpack.log 2>&1); then
  cat build-package/cpack.log >&2
  exit 1
fi
mv build-package/bendwise_*.deb .
deb=$(echo bendwise_*.deb)
echo "$deb: $(stat -c %s "$deb") bytes"

echo "== check the package =="
lintian_flags=(--fail-on error --pedantic)
[ "$(id -u)" -eq 0 ] && lintian_flags+=(--allow-root)
lintian "${lintian_flags[@]}" "$deb" || { echo "lintian: errors in $deb" >&2; exit 1; }
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
desktop-file-validate "$tree"/usr/share/applications/bendwise.desktop
appstreamcli validate-tree --no-net "$tree"

$install_test || exit 0
echo "== install, run, purge =="
[ "$(id -u)" -eq 0 ] || { echo "--install-test needs root" >&2; exit 2; }
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/dev/null
mapfile -t paths < <(dpkg -L bendwise)
failed=0
check() {  # check WHAT COMMAND...: runs COMMAND, says FAIL with WHAT when it fails
  local what=$1
  shift
  if ! "$@"; then echo "FAIL: $what" >&2; failed=1; fi
}
check "bendwise-cli on PATH prints its version" \
  bash -c '[[ $(bendwise-cli --version) == "bendwise-cli "* ]]'
check "bendwise-cli solves a curve" \
  bash -c 'bendwise-cli --fields radius=1000 delta=30 | grep -qx "larc=523.599"'
check "bendwise without a display: one line, exit status 2" bash -c '
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM bendwise 2>&1); status=$?
  [ $status -eq 2 ] && [ $(printf "%s\n" "$out" | wc -l) -eq 1 ] &&
    [[ $out == "bendwise: no graphical display"* ]]'
check "man bendwise-cli shows the page" bash -c 'man bendwise-cli 2>/dev/null | grep -q "^EXIT STATUS"'
check "man bendwise shows the page" bash -c 'man bendwise 2>/dev/null | grep -q "^SEE ALSO"'
check "bash completion is where bash-completion loads it" bash -c '
  source /usr/share/bash-completion/completions/bendwise-cli && complete -p bendwise-cli >/dev/null'

DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq bendwise >/dev/null
# Nothing of the package may be left; a folder stays only when another package owns it or
# holds files of its own in it.
for path in "${paths[@]}"; do
  [ -e "$path" ] || [ -L "$path" ] || continue
  if [ -d "$path" ] && { dpkg -S "$path" >/dev/null 2>&1 || [ -n "$(ls -A "$path")" ]; }; then
    continue
  fi
  echo "FAIL: left behind after purge: $path" >&2
  failed=1
done
dpkg-query -W bendwise >/dev/null 2>&1 && { echo "FAIL: bendwise still known to dpkg" >&2; failed=1; }
[ $failed -eq 0 ] && echo "install test: installed, ran, purged, nothing left (${#paths[@]} paths)"
exit $failed
