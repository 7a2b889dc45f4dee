#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop and its tools expect:
# both programs, a valid launcher entry, valid AppStream metadata, the exchange document's file
# type, the icon at every size, and a manual page that formats without warnings.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
id=com.fernhollow.pinwheels

for program in pinwheels pinwheels-cli; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done

desktop=$share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
grep -qx 'MimeType=application/x-pinwheels;' "$desktop" || fail "the desktop entry names no MimeType"
grep -q '^Exec=pinwheels %F$' "$desktop" || fail "the desktop entry does not pass files"

appstreamcli validate --no-net --pedantic "$share/metainfo/$id.metainfo.xml" \
    || fail "the AppStream metadata does not validate"

# The file type is known once the MIME database is rebuilt, for both extensions in any case.
cp -r "$share/mime" "$prefix/mime"
# (It notes that the folder is not on the search path: that is the point of a test prefix.)
update-mime-database "$prefix/mime" 2>/dev/null || fail "the MIME package is refused"
for extension in Pinwheels Corkline; do
    grep -qi "application/x-pinwheels:\*\.$extension$" "$prefix/mime/globs2" \
        || fail "*.$extension is not application/x-pinwheels"
done

icons=$share/icons/hicolor
[ -s "$icons/scalable/apps/$id.svg" ] || fail "no scalable icon"
for size in 16 22 24 32 48 64 128 256 512; do
    png=$icons/${size}x${size}/apps/$id.png
    [ -s "$png" ] || fail "no ${size}px icon"
    [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "the ${size}px icon has another size"
done

page=$share/man/man1/pinwheels-cli.1
warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
[ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
text=$(MANWIDTH=100 man -l "$page" 2>/dev/null)
for word in tree export import check --data-dir 'EXIT STATUS'; do
    grep -q -- "$word" <<<"$text" || fail "the manual page does not mention $word"
done
echo "install into a temporary prefix: everything present and valid"
