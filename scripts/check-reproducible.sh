#!/usr/bin/env bash
# Checks that the Debian package is reproducible: built again from a copy of the sources in
# another folder (another source and another build path), it must be the same bytes.
#
#   scripts/check-reproducible.sh [FIRST.deb]
#
# FIRST.deb is a package scripts/package.sh built from these sources in build-package/ (CI
# passes the one of its package step, so only one more build is paid for); without it both
# are built here.
# On a difference it prints what differs: the file lists, then the control files.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

# Both builds must take the same time stamps (the copy is no git checkout): the last
# commit's, as scripts/package.sh takes them; outside a checkout any one time will do.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) || SOURCE_DATE_EPOCH=$(date +%s)
fi
export SOURCE_DATE_EPOCH

# Kept when the packages differ, for a closer look.
work=$(mktemp -d /tmp/bendwise-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Both builds in build-package/ of their source folder, so that only the folders' names
# differ, not where the build lies relative to the sources.
unset BENDWISE_PACKAGE_BUILD
if [ $# -ge 1 ]; then
  cp "$1" "$work/first.deb"
else
  scripts/package.sh --build-only
  mv bendwise_*.deb "$work/first.deb"
fi

# The sources git knows of (and new files not yet added), as they are in the working tree;
# outside a checkout, everything but build folders and packages.
echo "== build the package again in $work/other-folder =="
mkdir "$work/other-folder"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
    tar --null -T - -cf -
else
  tar --exclude='./build*' --exclude='./bendwise_*.deb' -cf - .
fi | tar -xf - -C "$work/other-folder"
start=$(date +%s)
"$work/other-folder/scripts/package.sh" --build-only
echo "second build: $(( $(date +%s) - start )) s"
second=$(echo "$work"/other-folder/bendwise_*.deb)

if cmp "$work/first.deb" "$second"; then
  echo "reproducible: $(basename "$second") is the same bytes from both folders"
  exit 0
fi
trap - EXIT
echo "FAIL: the package differs between the two builds (both are in $work)" >&2
diff <(dpkg-deb -c "$work/first.deb") <(dpkg-deb -c "$second") >&2 || true
# What is in them: the control files side by side, then each file's checksum.
for pair in "first:$work/first.deb" "second:$second"; do
  name=${pair%%:*}
  dpkg-deb -R "${pair#*:}" "$work/$name"
  (cd "$work/$name" && find . -type f ! -path "./DEBIAN/*" -exec md5sum {} + | sort -k2) \
    >"$work/$name.md5"
done
diff -r "$work/first/DEBIAN" "$work/second/DEBIAN" >&2 || true
diff "$work/first.md5" "$work/second.md5" >&2 || true
exit 1
