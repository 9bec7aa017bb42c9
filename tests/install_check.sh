#!/usr/bin/env bash
# Installs the build into a fresh folder and checks that it is the whole application folder.
set -euo pipefail
cmake=$1
build=$2
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
"$cmake" --install "$build" --prefix "$dest" >/dev/null
fail() { echo "install_folder: $*"; exit 1; }
[ -x "$dest/Qm_TextLumo" ] || fail "Qm_TextLumo missing or not executable"
[ -f "$dest/banner/lumo_book.html" ] || fail "banner page missing"
n=$(find "$dest/skin" -maxdepth 1 -name '*.bmp' | wc -l)
[ "$n" -eq 47 ] || fail "skin holds $n bitmaps, not 47"
[ ! -e "$dest/TmpZip" ] || fail "run-time folder TmpZip was installed"
[ -f "$dest/ocx/libQm_ImgScrollBar.so" ] || fail "the control library is not in ocx/"
# The reader loads the control library at run time by path; it must never link it.
if ldd "$dest/Qm_TextLumo" | grep -q Qm_ImgScrollBar; then fail "Qm_TextLumo links the control library"; fi
echo "install_folder: 1 passed, 0 failed"
