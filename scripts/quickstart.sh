#!/usr/bin/env bash
# Sets up a fresh Debian or Ubuntu machine for Quorvik, builds it, and then either starts the
# game ("play") or runs every test ("test"). Missing Debian packages are installed with apt-get,
# through sudo when not run as root. Extra arguments after "test" go to ctest.
set -euo pipefail

mode=${1:-play}
shift || true
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

# Packages needed to build and run the game (qt6-base-dev holds Qt's print support as well,
# libcadical-dev the clause solver of the puzzle check).
build_packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-translations-l10n
                libgl-dev libfontconfig-dev libcadical-dev fonts-liberation2 fonts-inter
                fonts-urw-base35)
# Packages the tests need besides: a virtual X server, input and screenshot tools, a window
# manager, the Wayland platform for a start without a compositor, and the PDF tools that read
# printed pages back.
test_packages=(xvfb xauth xdotool imagemagick x11-utils desktop-file-utils appstream dpkg-dev file
               openbox qt6-wayland poppler-utils)

need=("${build_packages[@]}")
[ "$mode" = test ] && need+=("${test_packages[@]}")

missing=()
for p in "${need[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

preset=${QUORVIK_PRESET:-default}
cmake --preset "$preset" >/dev/null

case "$mode" in
    play)
        # Only the program itself: the tests, benchmarks and tools are not needed to play.
        cmake --build --preset "$preset" --target quorvik
        exec "build/$preset/ui/quorvik"
        ;;
    test)
        cmake --build --preset "$preset"
        ctest --preset "$preset" "$@"
        ;;
    *)
        echo "usage: $0 [play|test [ctest arguments]]" >&2
        exit 2
        ;;
esac
