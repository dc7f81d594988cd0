#!/usr/bin/env bash
# Builds the Debian package from the ci build, validates the desktop entry and the metainfo it
# ships, installs it, starts the installed program under Xvfb, and removes the package again,
# checking that neither step touches the settings folder.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

preset=${QUORVIK_PRESET:-ci}
build=build/$preset
app_id=io.github.quorvik.Quorvik
icon_sizes=(16 32 48 64 128 256)
needed_depends=(libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6 libc6 libstdc++6 libgcc-s1
                qt6-qpa-plugins fonts-liberation2 fonts-inter fonts-urw-base35)

fail() {
    echo "package check FAILED: $*" >&2
    exit 1
}
step() { echo "-- $*"; }

# --- Inside the X server (the script calls itself through xvfb-run) ---
#
# Starts the installed program with the given settings folder, waits for its window, takes a
# screenshot, checks it is not blank, and quits through the menu "Spiel" -> "Beenden" so that
# the program saves its settings the way it does for a player.
if [ "${1:-}" = --in-xvfb ]; then
    config=$2 out=$3
    export XDG_CONFIG_HOME=$config QT_QPA_PLATFORM=xcb
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    /usr/bin/quorvik >"$out/program.log" 2>&1 &
    pid=$!
    # shellcheck disable=SC2317 # run by the trap
    stop() {
        kill -TERM "$pid" 2>/dev/null || true
        rm -rf "$XDG_RUNTIME_DIR"
    }
    trap stop EXIT

    wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quorvik$' | head -n 1) || true
    [ -n "$wid" ] || fail "no window named 'Quorvik' within 20 s (program output: $(cat "$out/program.log"))"
    kill -0 "$pid" 2>/dev/null || fail "the program ended right after showing its window"
    eval "$(xdotool getwindowgeometry --shell "$wid")" # sets X, Y, WIDTH, HEIGHT
    echo "window $wid at ${X},${Y}, ${WIDTH}x${HEIGHT}"
    if [ "$WIDTH" -lt 200 ] || [ "$HEIGHT" -lt 150 ]; then fail "window is only ${WIDTH}x${HEIGHT}"; fi

    # The window is mapped before it is painted; look again until it shows a picture.
    colours=0 spread=0
    for _ in $(seq 20); do
        sleep 0.25
        import -window root "$out/screenshot.png"
        read -r colours spread < <(convert "$out/screenshot.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
            -format '%k %[fx:int(1000*standard_deviation)]\n' info:)
        [ "$colours" -ge 16 ] && [ "$spread" -ge 50 ] && break
    done
    echo "screenshot: $colours colours, spread $spread/1000 in the window"
    if [ "$colours" -lt 16 ] || [ "$spread" -lt 50 ]; then fail "the window looks blank ($colours colours)"; fi

    # "Spiel" is the first menu of the menu bar; its last entry is "Beenden".
    xdotool mousemove --window "$wid" 15 10 click 1
    sleep 0.5
    xdotool key Up Return
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the program did not quit through Spiel -> Beenden within 5 s"
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "the program exited with status $status (output: $(cat "$out/program.log"))"
    exit 0
fi

# --- Tools ---

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
apt_get() {
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=300 "$@"
}

declare -A tool_package=([cmake]=cmake [cpack]=cmake [dpkg-shlibdeps]=dpkg-dev [file]=file
    [readelf]=binutils [desktop-file-validate]=desktop-file-utils [appstreamcli]=appstream
    [xvfb-run]=xvfb [xauth]=xauth [xdotool]=xdotool [import]=imagemagick [convert]=imagemagick)
missing=()
for tool in "${!tool_package[@]}"; do
    command -v "$tool" >/dev/null || missing+=("${tool_package[$tool]}")
done
if [ ${#missing[@]} -gt 0 ]; then
    mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)
    step "installing the tools of this check: ${missing[*]}"
    apt_get update -qq
    apt_get install -y -qq --no-install-recommends "${missing[@]}" || fail "could not install ${missing[*]}"
fi

work=$(mktemp -d)
installed_by_us=no
cleanup() {
    if [ "$installed_by_us" = yes ]; then
        echo "removing the package after the failure" >&2
        apt_get remove -y -qq quorvik >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# --- Build and package ---

if [ ! -f "$build/CMakeCache.txt" ]; then
    step "configuring $build (preset $preset)"
    cmake --preset "$preset" >/dev/null
fi
step "building $build"
cmake --build --preset "$preset" >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "build failed"; }

step "cpack -G DEB in $build"
rm -f "$build"/quorvik_*.deb
(cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[ -n "$version" ] || fail "no CPACK_PACKAGE_VERSION in $build/CPackConfig.cmake"
arch=$(dpkg --print-architecture)
deb=$build/quorvik_${version}_${arch}.deb
[ -f "$deb" ] || fail "cpack did not write $deb (it wrote: $(ls "$build"/*.deb 2>/dev/null || echo nothing))"

# --- What the package says and holds ---

step "control fields of $deb"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quorvik ] || fail "Package is '$(field Package)', not quorvik"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)', not $arch"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)', not games"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
for package in "${needed_depends[@]}"; do
    grep -Eq "(^|, )${package//+/\\+}( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done

# No maintainer scripts: nothing runs at install or removal that could reach a home folder.
control_files=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '^$' | sort | tr '\n' ' ')
[ "$control_files" = "control md5sums " ] || fail "unexpected control files: $control_files"

# Exactly the program, its desktop files and its licence; no libraries, headers, tests,
# benchmarks or tools.
expected=(/usr/bin/quorvik /usr/share/applications/quorvik.desktop
          "/usr/share/metainfo/$app_id.metainfo.xml" /usr/share/doc/quorvik/copyright)
for size in "${icon_sizes[@]}"; do
    expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/quorvik.png")
done
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' | sort >"$work/contents"
printf '%s\n' "${expected[@]}" | sort >"$work/expected"
unexpected=$(comm -23 "$work/contents" "$work/expected")
absent=$(comm -13 "$work/contents" "$work/expected")
[ -z "$unexpected" ] || fail "the package holds files it should not: $(tr '\n' ' ' <<<"$unexpected")"
[ -z "$absent" ] || fail "the package lacks: $(tr '\n' ' ' <<<"$absent")"

step "shipped files"
root=$work/root
dpkg-deb -x "$deb" "$root"
file -b "$root/usr/bin/quorvik" | grep -q '^ELF .*executable\|^ELF .*pie' || fail "usr/bin/quorvik is not an ELF program"
file -b "$root/usr/bin/quorvik" | grep -q ', stripped' || fail "usr/bin/quorvik is not stripped"
if readelf -d "$root/usr/bin/quorvik" | grep -Eq 'RPATH|RUNPATH'; then
    fail "usr/bin/quorvik carries a run path: $(readelf -d "$root/usr/bin/quorvik" | grep -E 'RPATH|RUNPATH')"
fi
for size in "${icon_sizes[@]}"; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/quorvik.png
    [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] ||
        fail "the ${size}x${size} icon is $(identify -format '%wx%h' "$icon")"
done

# The licence as the sources carry it, and the one the software-centre entry names.
cmp -s -n "$(stat -c %s LICENSE)" "$root/usr/share/doc/quorvik/copyright" LICENSE ||
    fail "usr/share/doc/quorvik/copyright does not begin with LICENSE"
grep -q 'Upstream-Name: cadical' "$root/usr/share/doc/quorvik/copyright" ||
    fail "usr/share/doc/quorvik/copyright lacks the notice of the clause solver linked in"
[ "$(stat -c %a "$root/usr/share/doc/quorvik/copyright")" = 644 ] ||
    fail "usr/share/doc/quorvik/copyright has mode $(stat -c %a "$root/usr/share/doc/quorvik/copyright")"
licence=$(sed -n 's|.*<project_license>\(.*\)</project_license>.*|\1|p' \
    "$root/usr/share/metainfo/$app_id.metainfo.xml")
[ "$(head -n 1 LICENSE)" = "$licence License" ] ||
    fail "LICENSE begins '$(head -n 1 LICENSE)', the metainfo names $licence"

desktop=$root/usr/share/applications/quorvik.desktop
desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 || { cat "$work/desktop.log"; fail "desktop-file-validate"; }
if grep -Eiq 'error|warning' "$work/desktop.log"; then
    cat "$work/desktop.log"
    fail "desktop-file-validate reports problems"
fi
cat "$work/desktop.log"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Name)" = Quorvik ] || fail "desktop entry Name is '$(entry Name)'"
[ "$(entry Exec)" = quorvik ] || fail "desktop entry Exec is '$(entry Exec)', the program is /usr/bin/quorvik"
[ "$(entry Icon)" = quorvik ] || fail "desktop entry Icon is '$(entry Icon)', the icons are quorvik.png"
[ -n "$(entry Comment)" ] || fail "desktop entry has no Comment"
[ -n "$(entry 'Comment\[de\]')" ] || fail "desktop entry has no Comment[de]"
grep -Eq '^Categories=(.*;)?Game;(.*;)?LogicGame;' "$desktop" || fail "Categories must hold Game;LogicGame;"

metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli validate $app_id.metainfo.xml"
# The tree check also finds the desktop entry the metainfo launches.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"
grep -q '<launchable type="desktop-id">quorvik.desktop</launchable>' "$metainfo" ||
    fail "the metainfo does not launch quorvik.desktop"

# --- Install, start, remove ---

# The real settings file of whoever runs this check must come through untouched as well.
user_settings=${XDG_CONFIG_HOME:-$HOME/.config}/Software/Quorvik.ini
fingerprint() { # every file below $1 with size, time and checksum
    if [ -e "$1" ]; then
        find "$1" -printf '%P %y %s %T@\n' | sort
        find "$1" -type f -exec sha256sum {} + | sort
    else
        echo "absent"
    fi
}
user_before=$(fingerprint "$user_settings")

if dpkg-query -W -f='${Status}' quorvik 2>/dev/null | grep -q 'install ok installed'; then
    echo "note: quorvik $(dpkg-query -W -f='${Version}' quorvik) was installed already; it is replaced and removed at the end"
fi
step "apt-get install ./$deb"
install_log=$work/install.log
if ! apt_get install -y --no-install-recommends --reinstall "$PWD/$deb" >"$install_log" 2>&1; then
    # A fresh machine may have no package lists yet.
    apt_get update -qq >>"$install_log" 2>&1 || true
    apt_get install -y --no-install-recommends --reinstall "$PWD/$deb" >>"$install_log" 2>&1 ||
        { cat "$install_log"; fail "apt-get install ./$deb"; }
fi
installed_by_us=yes
[ "$(dpkg-query -W -f='${Status} ${Version}' quorvik)" = "install ok installed $version" ] ||
    fail "dpkg reports: $(dpkg-query -W -f='${Status} ${Version}' quorvik)"
for path in "${expected[@]}"; do
    [ -f "$path" ] || fail "$path is missing after the installation"
    dpkg -S "$path" >/dev/null 2>&1 || fail "$path does not belong to a package"
done
[ -x /usr/bin/quorvik ] || fail "/usr/bin/quorvik is not executable"
if ldd /usr/bin/quorvik | grep -q 'not found'; then
    ldd /usr/bin/quorvik | grep 'not found'
    fail "/usr/bin/quorvik lacks shared libraries"
fi

step "starting /usr/bin/quorvik under Xvfb"
config=$work/config
mkdir -p "$config"
shots=$build/package-check
mkdir -p "$shots"
timeout 60 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
    bash "${BASH_SOURCE[0]}" --in-xvfb "$config" "$work" || fail "the installed program did not run as expected"
cp "$work/screenshot.png" "$shots/screenshot.png"
echo "screenshot kept in $shots/screenshot.png"

# Closing the window stored the settings in the given folder, nowhere else.
ini=$config/Software/Quorvik.ini
[ -f "$ini" ] || fail "the program did not write $ini (folder holds: $(find "$config" -type f))"
grep -qx "Ver=$version" "$ini" || fail "$ini has no Ver=$version: $(cat "$ini")"
config_before=$(fingerprint "$config")

step "apt-get remove quorvik"
apt_get remove -y quorvik >"$work/remove.log" 2>&1 || { cat "$work/remove.log"; fail "apt-get remove quorvik"; }
installed_by_us=no
if dpkg-query -W -f='${Status}' quorvik 2>/dev/null | grep -q 'installed'; then
    fail "dpkg still reports quorvik: $(dpkg-query -W -f='${Status}' quorvik)"
fi
for path in "${expected[@]}"; do
    [ ! -e "$path" ] || fail "$path is still there after the removal"
done
[ "$(fingerprint "$config")" = "$config_before" ] || fail "removing the package changed the settings folder"
[ "$(fingerprint "$user_settings")" = "$user_before" ] || fail "installing or removing changed $user_settings"

echo "package: $deb, $(stat -c %s "$deb") bytes, installed size $(field Installed-Size) KiB"
echo "Depends: $depends"
echo "package check passed"
