#!/usr/bin/env bash
# Installs the build into a temporary root (DESTDIR, prefix /usr) and checks the installed tree:
# its layout, the desktop entry and AppStream file against their validators, the manual pages
# (naming the installed folders), `pellor --version` (the version and the renderer) and `--help`
# without a display, and the installed `pellor` started with a private home in Japanese, which
# must report the installed string tables and shader (not the build tree's), show Japanese menus,
# and compile the hero shader when it draws with a GPU API, and which must run the installed
# stand-in pmset. The installed `pellorctl list` must work when pellorctl is built.
#   InstalledAppTest.sh <build folder> <source folder> <version> <application id> <with pellorctl: 0|1>
set -euo pipefail
build=$1 source=$2 version=$3 id=$4 with_ctl=$5

work=$(mktemp -d)
pid=
cleanup() {
    [[ -n "$pid" ]] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >"$work/install.log" ||
    { cat "$work/install.log"; fail "cmake --install"; }
root="$work/root/usr"

expected=(bin/pellor libexec/pellor/pmset libexec/pellor/osascript
    share/pellor/Norvane_Norvane.bundle/Shaders/homeAurora.frag.qsb
    "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
    "share/icons/hicolor/scalable/apps/$id.svg" share/man/man1/pellor.1.gz)
for code in en zh-Hans ja zh-Hant ko; do
    expected+=("share/pellor/Norvane_NorvaneCore.bundle/$code.lproj/Localizable.json")
done
for size in 16 22 24 32 48 64 128 256 512; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
[[ "$with_ctl" == 1 ]] && expected+=(bin/pellorctl share/man/man1/pellorctl.1.gz)
for file in "${expected[@]}"; do
    [[ -s "$root/$file" ]] || fail "not installed: $file"
done
[[ ! -e "$root/bin/Pellor" ]] || fail "bin/Pellor should be installed as bin/pellor"
grep -qx "$work/root/usr/bin/pellor" "$build/install_manifest.txt" ||
    fail "the install manifest does not list bin/pellor (uninstalling would miss it)"

desktop-file-validate "$root/share/applications/$id.desktop"
appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml"

for page in "$root"/share/man/man1/*.1.gz; do
    warnings=$(zcat "$page" | groff -man -ww -z 2>&1) || fail "groff cannot read $page"
    [[ -z "$warnings" ]] || fail "$page: $warnings"
    zgrep -q /usr/libexec/pellor "$page" || fail "$page does not name /usr/libexec/pellor"
    ! zgrep -q /usr/local "$page" || fail "$page names /usr/local"
done

# Without a display: answered at once, no window needed.
headless=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
version_output=$(LANGUAGE=en "${headless[@]}" "$root/bin/pellor" --version)
[[ "$version_output" == "Pellor $version"$'\n'"Renderer: "* ]] ||
    fail "pellor --version: $version_output"
"${headless[@]}" "$root/bin/pellor" --help >"$work/help.txt" || fail "pellor --help ended with $?"
grep -q -- --version "$work/help.txt" || fail "pellor --help does not name --version"

# The installed application, alone: a private home and simulated Mac, in Japanese.
home="$work/home"
mkdir -p "$home/config" "$home/data" "$home/state" "$home/cache" "$home/runtime" "$work/sim"
chmod 700 "$home/runtime"
private=(HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data"
    XDG_STATE_HOME="$home/state" XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime"
    NORVANE_SIM_HOME="$work/sim")
log="$work/pellor.log"
env "${private[@]}" LANGUAGE=ja LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 \
    QT_LOGGING_RULES="norvane.resources.info=true;norvane.menu.info=true" \
    QT_MESSAGE_PATTERN="%{category}: %{message}" \
    "$root/bin/pellor" >"$log" 2>&1 &
pid=$!

tables="$root/share/pellor/Norvane_NorvaneCore.bundle"
shader="$root/share/pellor/Norvane_Norvane.bundle/Shaders/homeAurora.frag.qsb"
# Waits (up to a minute: a cold start on a busy machine) for the line in the file, or for pellor
# to end.
await() {
    for _ in $(seq 600); do
        grep -qxF "$1" "${2:-$log}" 2>/dev/null && return 0
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    cat "$log" >&2
    fail "pellor did not report: $1"
}
await "norvane.resources: string tables: $tables"
await "norvane.resources: hero shader: $shader"
# Qt Quick's software renderer draws no shader; a GPU API compiles it.
[[ "$version_output" == *software* ]] ||
    await "norvane.resources: hero shader compiled: $shader"
# The live status is read through the stand-in pmset, found in libexec/pellor (nothing is beside
# the installed pellor); each run of it is logged in the simulated Mac's folder.
await '{"arguments":["-g","live"],"privileged":false,"tool":"pmset"}' "$work/sim/invocations.log"

profiles_ja=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["Profiles"])' \
    "$source/Resources/Norvane_NorvaneCore.bundle/ja.lproj/Localizable.json")
menu=$(grep -m1 '^norvane.menu: main menu: ' "$log") || fail "no main menu reported"
[[ "$menu" == *"| $profiles_ja |"* ]] || fail "the menus are not in Japanese: $menu"
kill "$pid" && wait "$pid" 2>/dev/null || true
pid=

if [[ "$with_ctl" == 1 ]]; then
    env "${private[@]}" "$root/bin/pellorctl" list >"$work/list.txt" ||
        fail "pellorctl list ended with status $?"
    [[ -s "$work/list.txt" ]] || fail "pellorctl list printed nothing"
    [[ "$("$root/bin/pellorctl" --version)" == *"$version"* ]] || fail "pellorctl --version"
fi
echo "installed tree, validators and the installed pellor: OK"
