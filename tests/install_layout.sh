#!/usr/bin/env bash
# install_layout CMAKE BUILD APPID VERSION: installs the build into a fresh prefix and checks the
# layout, that nothing else (no run-time file) comes with it, the package's documents, and the
# desktop files with the desktop's own validators. Exits 77 (skipped) when the validators are not
# installed.
set -euo pipefail
cmake=$1 build=$2 id=$3 version=$4
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
"$cmake" --install "$build" --prefix "$dest" >/dev/null
fail() { echo "install_layout: $*"; exit 1; }

sizes=(16 22 24 32 48 64 128 256)
expected=(bin/Qm_TextLumo lib/qm-textlumo/libQm_ImgScrollBar.so share/qm-textlumo/banner/lumo_book.html
          "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
          "share/icons/hicolor/scalable/apps/$id.svg" share/doc/qm-textlumo/copyright
          share/doc/qm-textlumo/changelog.gz share/man/man1/Qm_TextLumo.1.gz)
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

# The copyright file in Debian's machine-readable format; the changelog's top entry and the manual
# page are of this version, and the entry is dated as the metainfo's release of it.
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$dest/share/doc/qm-textlumo/copyright" || fail "the copyright file is not in Debian's format"
log=$(gzip -dc "$dest/share/doc/qm-textlumo/changelog.gz") || fail "changelog.gz does not gunzip"
[[ $(head -1 <<<"$log") == "qm-textlumo ($version) unstable; urgency="* ]] ||
    fail "the changelog's top entry is not $version: $(head -1 <<<"$log")"
dated=$(sed -n '0,/^ -- /s/^ -- .*>  //p' <<<"$log")
release=$(grep -m1 -o '<release version="[^"]*" date="[^"]*"' "$dest/share/metainfo/$id.metainfo.xml")
[ "$release" = "<release version=\"$version\" date=\"$(date -u -d "$dated" +%F)\"" ] ||
    fail "the metainfo's $release is not the changelog's $version of $dated"
page=$(gzip -dc "$dest/share/man/man1/Qm_TextLumo.1.gz") || fail "the manual page does not gunzip"
grep -q "^\.TH QM_TEXTLUMO 1 .*\"Qm_TextLumo $version\"" <<<"$page" ||
    fail "the manual page is not of Qm_TextLumo $version"

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
echo "install_layout: layout, documents, desktop entry, metainfo and icons pass"
