#!/usr/bin/env bash
# Installs a built tree into a temporary prefix and checks what a user or a distribution gets:
# the layout, the icons, the validity of the desktop entry, AppStream metainfo and manual page,
# and that the installed game starts from its installed place.
#
# Usage: check-install.sh BUILD_DIR APP_ID VERSION
# Registered with ctest by cmake/install.cmake; needs the build done (cmake --build) first.
set -uo pipefail

build="$1"
app_id="$2"
version="$3"
# The icon sizes promised to desktops (hicolor theme), besides the scalable SVG.
sizes=(16 32 48 64 128 256)
source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

work="$(mktemp -d "${TMPDIR:-/tmp}/trabel-install.XXXXXX")"
game_pid=""
cleanup() {
    if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
        kill "$game_pid" 2>/dev/null
        wait "$game_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok    $*"; }
fail() { failed=$((failed + 1)); echo "FAIL  $*"; }
check() { # check DESCRIPTION COMMAND...
    local what="$1"
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

prefix="$work/prefix"
if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    echo "FAIL  cmake --install $build --prefix $prefix"
    exit 1
fi

appdir="$prefix/lib/trabel"
share="$prefix/share"

# --- Nothing but the game is installed -------------------------------------------------------
top="$(cd "$prefix" && ls -A | sort | tr '\n' ' ')"
check "prefix holds only bin/ lib/ share/ (has: $top)" test "$top" = "bin lib share "
check "lib/ holds only trabel/ (has: $(ls -A "$prefix/lib" | tr '\n' ' '))" \
    test "$(ls -A "$prefix/lib")" = "trabel"

# --- The executable and its data, side by side -------------------------------------------------
is_elf_executable() {
    [ -f "$1" ] && [ ! -L "$1" ] && [ -x "$1" ] && [ "$(head -c 4 "$1" | od -An -c | tr -d ' ')" = "177ELF" ]
}
check "lib/trabel/trabel is an executable ELF file" is_elf_executable "$appdir/trabel"

missing=0
different=0
count=0
while IFS= read -r -d '' f; do
    rel="${f#"$source_dir/data/"}"
    count=$((count + 1))
    if [ ! -f "$appdir/$rel" ]; then
        missing=$((missing + 1))
        echo "      missing: lib/trabel/$rel"
    elif ! cmp -s "$f" "$appdir/$rel"; then
        different=$((different + 1))
        echo "      differs: lib/trabel/$rel"
    fi
done < <(find "$source_dir/data" -type f -print0)
check "all $count data files installed beside the executable" test "$count" -gt 0 -a "$missing" -eq 0
check "installed data files are identical to data/" test "$different" -eq 0
for d in idioma/idioma.txt sonidos graficos fondo.jpg LICENSE-emoji.txt; do
    check "lib/trabel/$d present" test -e "$appdir/$d"
done

# --- The command on the PATH ---------------------------------------------------------------
check "bin/trabel is a symlink" test -L "$prefix/bin/trabel"
link="$(readlink "$prefix/bin/trabel" 2>/dev/null)"
check "bin/trabel is relative ($link), so the tree can move" test -n "$link" -a "${link#/}" = "$link"
check "bin/trabel resolves to lib/trabel/trabel" \
    test "$(readlink -f "$prefix/bin/trabel")" = "$(readlink -f "$appdir/trabel")"

# --- Desktop entry ---------------------------------------------------------------------------
desktop="$share/applications/$app_id.desktop"
check "desktop entry $app_id.desktop installed" test -f "$desktop"
if out="$(desktop-file-validate "$desktop" 2>&1)" && [ -z "$out" ]; then
    pass "desktop-file-validate: no errors, no warnings"
else
    fail "desktop-file-validate: $out"
fi
key() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
check "desktop Exec=trabel" test "$(key Exec)" = "trabel"
check "desktop Icon=$app_id" test "$(key Icon)" = "$app_id"
check "desktop Name=Trabel" test "$(key Name)" = "Trabel"
check "desktop Type=Application" test "$(key Type)" = "Application"
check "desktop Categories has Game and CardGame" \
    bash -c '[[ ";$1" == *";Game;"* && ";$1" == *";CardGame;"* ]]' _ "$(key Categories)"
check "desktop has a Comment" test -n "$(key Comment)"
check "desktop Exec names the installed command" test -x "$prefix/bin/$(key Exec)"

# --- Icons -----------------------------------------------------------------------------------
hicolor="$share/icons/hicolor"
check "scalable icon is the project's SVG" \
    cmp -s "$source_dir/packaging/$app_id.svg" "$hicolor/scalable/apps/$app_id.svg"
png_size() { # prints "W H" of a PNG, or nothing if the file is not a PNG
    local sig
    sig="$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')"
    [ "$sig" = "89504e470d0a1a0a" ] || return 1
    od -An -tu1 -j 16 -N 8 "$1" | awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}
png_has_colour() { # some pixel is not transparent black: the SVG really drew something
    python3 - "$1" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
pos, idat, width, height, bpp = 8, b"", 0, 0, 0
while pos < len(data):
    length, kind = struct.unpack(">I4s", data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    if kind == b"IHDR":
        width, height, depth, colour = struct.unpack(">IIBB", body[:10])
        bpp = {0: 1, 2: 3, 4: 2, 6: 4}.get(colour, 1) * max(depth // 8, 1)
    elif kind == b"IDAT":
        idat += body
    pos += 12 + length
raw = zlib.decompress(idat)
stride = 1 + width * bpp
# Filtering maps an all-zero image to all-zero bytes and back, so skipping each row's
# filter-type byte leaves a non-zero byte exactly when some pixel is not zero.
sys.exit(0 if any(any(raw[r * stride + 1:(r + 1) * stride]) for r in range(height)) else 1)
PY
}
for n in "${sizes[@]}"; do
    png="$hicolor/${n}x${n}/apps/$app_id.png"
    if [ ! -f "$png" ]; then
        fail "icon ${n}x${n} missing ($png)"
        continue
    fi
    dims="$(png_size "$png")"
    check "icon ${n}x${n} is a PNG of $n x $n pixels (is: ${dims:-not a PNG})" test "$dims" = "$n $n"
    check "icon ${n}x${n} is not empty" png_has_colour "$png"
done
others="$(cd "$hicolor" && find . -type f | grep -Ev "^\./(scalable|(16|32|48|64|128|256)x\2)/apps/$app_id\.(svg|png)\$" | sort | tr '\n' ' ')"
check "no other files in the icon theme (${others:-none})" test -z "$others"

# --- AppStream metainfo ----------------------------------------------------------------------
metainfo="$share/metainfo/$app_id.metainfo.xml"
check "metainfo $app_id.metainfo.xml installed" test -f "$metainfo"
if out="$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1)"; then
    pass "appstreamcli validate --no-net"
else
    fail "appstreamcli validate --no-net: $out"
fi
check "metainfo id is $app_id" grep -q "<id>$app_id</id>" "$metainfo"
check "metainfo launches $app_id.desktop" \
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo"
check "metainfo lists release $version" grep -q "<release version=\"$version\"" "$metainfo"
check "metainfo has a Spanish summary" grep -q '<summary xml:lang="es">' "$metainfo"
for shot in titulo jugadores opciones tablero resultados; do
    check "metainfo screenshot $shot.png" grep -q "/screenshots/$shot.png</image>" "$metainfo"
done

# --- Manual page -----------------------------------------------------------------------------
man="$share/man/man6/trabel.6.gz"
check "man page man6/trabel.6.gz installed" test -f "$man"
check "man page is valid gzip" gzip -t "$man"
gzip_mtime="$(od -An -tu4 -j4 -N4 "$man" 2>/dev/null | tr -d ' ')"
check "man page compressed without a time stamp" test "$gzip_mtime" = 0
if command -v mandoc >/dev/null; then
    if out="$(mandoc -T lint -W warning "$man" 2>&1)"; then
        pass "mandoc -T lint: no warnings"
    else
        fail "mandoc -T lint: $out"
    fi
fi
if out="$(gzip -dc "$man" | groff -man -Tutf8 -ww -z 2>&1)" && [ -z "$out" ]; then
    pass "groff -man -ww: no warnings"
else
    fail "groff -man -ww: $out"
fi
check "man page header names Trabel $version" zgrep -q "^\.TH TRABEL 6 .*\"Trabel $version\"" "$man"

# --- Licence and credits ---------------------------------------------------------------------
for doc in LICENSE CREDITS.md; do
    if [ -f "$source_dir/$doc" ]; then
        check "share/doc/trabel/$doc installed" cmp -s "$source_dir/$doc" "$share/doc/trabel/$doc"
    fi
done
check "share/doc/trabel/copyright installed" \
    cmp -s "$source_dir/packaging/copyright" "$share/doc/trabel/copyright"
for licence in GPL-3+ SIL-1.1; do
    check "copyright has the $licence licence" grep -qxF "License: $licence" "$share/doc/trabel/copyright"
done
check "share/doc/trabel/changelog.gz for version $version" \
    sh -c "gzip -dc '$share/doc/trabel/changelog.gz' | head -n 1 | grep -q '^trabel ($version) '"

# --- The installed game starts from its installed place ------------------------------------
home="$work/home"
mkdir -p "$home"
runtime="$work/runtime"
mkdir -m 700 "$runtime"
(
    cd / &&
        exec env HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_CONFIG_HOME="$home/.config" \
            XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
            "$prefix/bin/trabel"
) >"$work/game.log" 2>&1 &
game_pid=$!
sleep 2
if kill -0 "$game_pid" 2>/dev/null; then
    pass "installed bin/trabel is running after 2 s"
    check "the running program is lib/trabel/trabel" \
        test "$(readlink -f "/proc/$game_pid/exe")" = "$(readlink -f "$appdir/trabel")"
    kill "$game_pid"
    wait "$game_pid" 2>/dev/null
    game_pid=""
else
    wait "$game_pid"
    fail "installed bin/trabel exited within 2 s (status $?):"
    sed 's/^/      /' "$work/game.log"
    game_pid=""
fi

echo "packaging: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
