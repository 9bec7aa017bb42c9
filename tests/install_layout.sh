#!/usr/bin/env bash
# install_layout CMAKE BUILD APPID: installs the build into a fresh prefix and checks the layout,
# that nothing else (no run-time file) comes with it, and the desktop files with the desktop's
# own validators. Exits 77 (skipped) when the validators are not installed.
set -euo pipefail
cmake=$1 build=$2 id=$3
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
"$cmake" --install "$build" --prefix "$dest" >/dev/null
fail() { echo "install_layout: $*"; exit 1; }

sizes=(16 22 24 32 48 64 128 256)
expected=(bin/Qm_TextLumo lib/qm-textlumo/libQm_ImgScrollBar.so share/qm-textlumo/banner/lumo_book.html
          "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
          "share/icons/hicolor/scalable/apps/$id.svg")
for n in "${sizes[@]}"; do expected+=("share/icons/hicolor/${n}x$n/apps/$id.png"); done
for f in "${expected[@]}"; do [ -f "$dest/$f" ] || fail "$f missing"; done
[ -x "$dest/bin/Qm_TextLumo" ] || fail "bin/Qm_TextLumo is not executable"
n=$(find "$dest/share/qm-textlumo/skin" -maxdepth 1 -type f -name '*.bmp' | wc -l)
[ "$n" -eq 94 ] || fail "the skin holds $n bitmaps, not 94 (47 pictures at single and double size)"

# Exactly those files: nothing the reader writes at run time (TmpZip, state files), nothing of the
# tests or tools, and nothing anyone may write to.
extra=$(cd "$dest" && find . ! -type d | sed 's|^\./||' | grep -v '^share/qm-textlumo/skin/[^/]*\.bmp$' |
        grep -vxF -f <(printf '%s\n' "${expected[@]}") || true)
[ -z "$extra" ] || fail "installed besides the layout: $extra"
[ -z "$(find "$dest" -type d -empty)" ] || fail "empty folders installed: $(find "$dest" -type d -empty)"
[ -z "$(find "$dest" -perm -o+w ! -type l)" ] || fail "world-writable files installed"
# The reader loads the control library at run time by path; it must never link it.
if ldd "$dest/bin/Qm_TextLumo" | grep -q Qm_ImgScrollBar; then fail "Qm_TextLumo links the control library"; fi

for tool in desktop-file-validate appstreamcli file; do
    if ! command -v "$tool" >/dev/null; then
        echo "install_layout: layout checked; $tool is not installed, so the desktop files are not" \
             "validated (apt-get install desktop-file-utils appstream file) - skipped"
        exit 77
    fi
done
out=$(desktop-file-validate "$dest/share/applications/$id.desktop" 2>&1) ||
    fail "desktop-file-validate: $out"
if grep -qE 'error:|warning:' <<<"$out"; then fail "desktop-file-validate: $out"; fi
# The tree check also finds the desktop entry and the icon the metainfo file names.
out=$(appstreamcli validate-tree --no-net "$dest" 2>&1) || fail "appstreamcli: $out"
for n in "${sizes[@]}"; do
    file -b "$dest/share/icons/hicolor/${n}x$n/apps/$id.png" | grep -q "^PNG image data, $n x $n," ||
        fail "the ${n}x$n icon is not a $n x $n PNG"
done
grep -q '<svg ' "$dest/share/icons/hicolor/scalable/apps/$id.svg" || fail "the scalable icon is no SVG"
echo "install_layout: layout, desktop entry, metainfo and icons pass"
