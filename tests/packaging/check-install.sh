#!/usr/bin/env bash
# Installs a built tree into a temporary prefix and checks what a user or a distribution gets.
# Usage: check-install.sh BUILD_DIR APP_ID VERSION (registered with ctest by cmake/install.cmake)
set -uo pipefail
build="$1" id="$2" version="$3"
src="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)" pid="" failed=0
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
check() { if "${@:2}"; then echo "ok    $1"; else echo "FAIL  $1" && failed=1; fi; } # TEXT COMMAND...
quiet() { local out; out="$("$@" 2>&1)" && [ -z "$out" ] || { echo "$out"; false; }; }

p="$work/prefix" app="$work/prefix/lib/trabel" share="$work/prefix/share"
cmake --install "$build" --prefix "$p" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }

check "only bin/ lib/trabel/ share/" test "$(cd "$p" && ls -A | tr '\n' ' ')$(ls -A "$p/lib")" = "bin lib share trabel"
check "the executable is an ELF file" test "$(head -c 4 "$app/trabel" | tail -c 3)" = "ELF"
check "data/ installed beside it, identical" diff -r "$src/data" "$app" -x trabel
check "bin/trabel is a relative link to it" test "$(readlink "$p/bin/trabel")" = ../lib/trabel/trabel

desktop="$share/applications/$id.desktop" icons="$share/icons/hicolor" man="$share/man/man6/trabel.6.gz"
check "desktop entry valid" quiet desktop-file-validate "$desktop"
check "desktop entry runs trabel with its icon, as a card game" grep -qzP \
    "(?s)(?=.*\nExec=trabel\n)(?=.*\nIcon=$id\n)(?=.*\nCategories=[^\n]*CardGame;)" "$desktop"
check "metainfo valid" appstreamcli validate --no-net --no-color "$share/metainfo/$id.metainfo.xml"
check "metainfo lists release $version" grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml"

check "scalable icon is the project's" cmp -s "$src/packaging/$id.svg" "$icons/scalable/apps/$id.svg"
png_ok() { # a PNG of $2 × $2 pixels with some pixel not zero (after each row's filter byte)
    python3 -c 'import struct, sys, zlib; d, n, p, z = open(sys.argv[1], "rb").read(), int(sys.argv[2]), 8, b""
while p < len(d): k, t = struct.unpack(">I4s", d[p:p + 8]); z += d[p + 8:p + 8 + k] * (t == b"IDAT"); p += 12 + k
raw, (w, h) = zlib.decompress(z), struct.unpack(">II", d[16:24]); row = len(raw) // h
sys.exit(not (w == h == n and any(any(raw[r * row + 1:(r + 1) * row]) for r in range(h))))' "$@"; }
for n in 16 32 48 64 128 256; do check "icon ${n}x$n" png_ok "$icons/${n}x$n/apps/$id.png" "$n"; done
check "no other icons" test "$(find "$icons" -type f | wc -l)" = 7

check "man page lints clean" quiet sh -c "gzip -dc '$man' | groff -man -Tutf8 -ww -z"
check "man page names Trabel $version, gzip without a time stamp" sh -c \
    "zgrep -q '^\.TH TRABEL 6 .*\"Trabel $version\"' '$man' && [ \"\$(od -An -tu4 -j4 -N4 '$man' | tr -d ' ')\" = 0 ]"
for doc in LICENSE CREDITS.md packaging/copyright; do check "doc ${doc#*/}" cmp -s "$src/$doc" "$share/doc/trabel/${doc#*/}"; done
check "changelog for $version" sh -c "gzip -dc '$share/doc/trabel/changelog.gz' | grep -q '^trabel ($version) '"

# The installed game starts from its installed place, whatever the working folder.
(cd / && exec env HOME="$work" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work" \
    QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy "$p/bin/trabel") >"$work/game.log" 2>&1 &
pid=$!
sleep 2
check "installed bin/trabel still running after 2 s" test "$(readlink -f "/proc/$pid/exe")" = "$(readlink -f "$app/trabel")"
[ "$failed" = 0 ] || { cat "$work/game.log"; exit 1; }
