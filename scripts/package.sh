#!/usr/bin/env bash
# Builds the Debian package bendwise_<version>_<arch>.deb into the top folder and checks
# it: lintian (no errors), appstreamcli on the installed tree, desktop-file-validate,
# mandoc -Tlint on both manual pages.
#
#   scripts/package.sh                 build and check; then: sudo apt-get install ./bendwise_*.deb
#   scripts/package.sh --install-test  also install it with apt-get, run both programs and
#                                      the manual page from PATH, purge it and check that
#                                      none of its files is left (needs root: CI does this)
#   scripts/package.sh --build-only    build it, no checks (scripts/check-reproducible.sh)
#
# The programs are built in build-package/ (BENDWISE_PACKAGE_BUILD names another folder)
# with Debian's compiler and linker flags (dpkg-buildflags, all hardening on), for /usr,
# without the tests. The package is reproducible: the same sources give the same bytes in
# any folder. Its time stamps are SOURCE_DATE_EPOCH, from the last commit unless set; the
# source and build folders are mapped to "." in the programs.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=check
case "${1:-}" in
  "") ;;
  --install-test) mode=install ;;
  --build-only) mode=build ;;
  *) echo "usage: scripts/package.sh [--install-test | --build-only]" >&2; exit 2 ;;
esac
build=${BENDWISE_PACKAGE_BUILD:-build-package}

scripts/install-deps.sh
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# Another apt-get or an unattended upgrade may hold the dpkg lock: wait for it (5 minutes)
# rather than fail.
apt_get() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 "$@"; }
tools=(dpkg-dev lintian appstream desktop-file-utils man-db mandoc)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt_get update -qq
  apt_get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The time of every file in the package and of the manual pages' date: the last commit's,
# else (an unpacked tarball) the newest file's among the sources.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) ||
    SOURCE_DATE_EPOCH=$(find . -path "./build*" -prune -o -type f -printf '%T@\n' |
                        sort -n | tail -1 | cut -d. -f1)
fi
export SOURCE_DATE_EPOCH

echo "== build the package =="
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
mkdir -p "$build"
build=$(cd "$build" && pwd)
# dpkg-buildflags maps this folder to "." already; the build folder too, for one outside it
# (GCC takes the last map that matches).
prefix_map="-ffile-prefix-map=$PWD=. -ffile-prefix-map=$build=."
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBENDWISE_BUILD_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr -DBENDWISE_SOURCE_README= \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS) $prefix_map" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/bendwise_*.deb bendwise_*.deb
if ! (cd "$build" && cpack -G DEB >cpack.log 2>&1); then
  cat "$build"/cpack.log >&2
  exit 1
fi
mv "$build"/bendwise_*.deb .
deb=$(echo bendwise_*.deb)
echo "$deb: $(stat -c %s "$deb") bytes"
[ $mode = build ] && exit 0

echo "== check the package =="
lintian_flags=(--fail-on error --pedantic)
[ "$(id -u)" -eq 0 ] && lintian_flags+=(--allow-root)
lintian "${lintian_flags[@]}" "$deb" || { echo "lintian: errors in $deb" >&2; exit 1; }
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
desktop-file-validate "$tree"/usr/share/applications/bendwise.desktop
appstreamcli validate-tree --no-net "$tree"
for page in "$tree"/usr/share/man/man1/*.1.gz; do
  zcat "$page" >"$tree/page.1"
  mandoc -Tlint -W style "$tree/page.1" || { echo "mandoc: ${page#"$tree"} is not clean" >&2; exit 1; }
done
rm "$tree/page.1"

[ $mode = install ] || exit 0
echo "== install, run, purge =="
[ "$(id -u)" -eq 0 ] || { echo "--install-test needs root" >&2; exit 2; }
apt_get install -y -qq "./$deb" >/dev/null
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
check "bendwise --help and --version without a display: exit status 0, the MIT licence" bash -c '
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM bendwise --help | grep -q "^usage: bendwise" &&
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM bendwise --version) &&
    [[ $out == "bendwise "* ]] && grep -q "MIT licence" <<<"$out"'
# The programs' texts, 8-bit and UTF-16 (QStringLiteral) alike.
texts() { for program in "$@"; do strings -a "$program"; strings -a -el "$program"; done; }
export -f texts
check "the About box and the manual name the installed README" bash -c '
  [ -f /usr/share/doc/bendwise/README.md ] &&
    texts /usr/bin/bendwise | grep -qx /usr/share/doc/bendwise/README.md'
check "no folder of the build machine in the programs" env src="$PWD" build="$build" bash -c '
  ! texts /usr/bin/bendwise /usr/bin/bendwise-cli | grep -F -e "$src" -e "$build"'
check "man bendwise-cli shows the page" bash -c 'man bendwise-cli 2>/dev/null | grep -q "^EXIT STATUS"'
check "man bendwise shows the page" bash -c 'man bendwise 2>/dev/null | grep -q "^SEE ALSO"'
check "bash completion is where bash-completion loads it" bash -c '
  source /usr/share/bash-completion/completions/bendwise-cli && complete -p bendwise-cli >/dev/null'

apt_get remove --purge -y -qq bendwise >/dev/null
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
