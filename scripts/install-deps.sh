#!/usr/bin/env bash
# Installs the Debian 12 packages Bendwise needs to build, test, fuzz and benchmark (the
# real-window test drives the calculator on Xvfb with openbox, xdotool, xclip and
# ImageMagick). With --web also the web edition's: emscripten, Node, npm (axe-core for the
# page's accessibility check) and headless Chromium with its WebDriver for the page tests.
# Only what is missing is installed; needs root (or sudo).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libmpfr-dev
  qt6-base-dev qt6-svg-dev
  libcanberra-dev librsvg2-bin man-db mandoc
  xvfb openbox xdotool xclip imagemagick
  qt6-gtk-platformtheme         # the real-window test's dark GTK theme
  clang libclang-rt-14-dev clang-format
  fonts-dejavu-core             # the diagrams' labels are measured with the fonts they name
  libxml2-utils python3-ezdxf   # xmllint and ezdxf read the exchange files back in tests
  python3-mpmath                # the independent 50-digit checks of the geometry
)
if [ "${1:-}" = "--web" ]; then
  packages=(emscripten nodejs npm chromium chromium-driver python3-selenium)
fi

missing=()
for p in "${packages[@]}"; do
  # A Node build that brings its own npm (and conflicts with Debian's) needs no other.
  [ "$p" = npm ] && command -v npm >/dev/null && continue
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
