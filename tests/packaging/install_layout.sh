#!/usr/bin/env bash
# `cmake --install` into a scratch prefix puts every file where a Debian system looks for it, and
# the manual pages format without warnings.
#   install_layout.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d /tmp/folvek-install.XXXXXX)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

status=0
expect() { [ -e "$prefix/$1" ] || { echo "missing: $1" >&2; status=1; }; }
for f in bin/folvek bin/folvek-print lib/cups/filter/folvektopdf \
         share/cups/mime/folvek.types share/cups/mime/folvek.convs \
         share/doc/folvek/examples/folvek-text-plain.convs \
         lib/systemd/user/folvek-watch@.service \
         share/doc/folvek/copyright share/doc/folvek/changelog.gz \
         share/applications/io.github.folvek.Folvek.desktop share/mime/packages/folvek-prn.xml \
         share/icons/hicolor/scalable/apps/io.github.folvek.Folvek.svg \
         share/folvek/help/index.html \
         share/man/man1/folvek.1.gz share/man/man1/folvek-print.1.gz \
         share/metainfo/io.github.folvek.Folvek.metainfo.xml etc/folvek/FOLVK95.INI; do
  expect "$f"
done
# Every page, picture and the stylesheet of the help.
help_src=$(cd "$(dirname "$0")/../../resources/help" && pwd)
while IFS= read -r f; do
  expect "share/folvek/help/${f#./}"
done < <(cd "$help_src" && find . -type f)
for size in 16 22 24 32 48 64 128 256; do
  png=share/icons/hicolor/${size}x${size}/apps/io.github.folvek.Folvek.png
  expect "$png"
  if [ -e "$prefix/$png" ] && ! file "$prefix/$png" | grep -q "$size x $size"; then
    echo "wrong size: $png" >&2; status=1
  fi
done
for x in bin/folvek bin/folvek-print lib/cups/filter/folvektopdf; do
  [ -x "$prefix/$x" ] || { echo "not executable: $x" >&2; status=1; }
done

# Every manual page formats cleanly and names the sections a reader looks for.
for page in "$prefix"/share/man/man1/*.1.gz; do
  warnings=$(zcat "$page" | LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 2>&1 || true)
  [ -z "$warnings" ] || { echo "$(basename "$page"): $warnings" >&2; status=1; }
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES ENVIRONMENT "EXIT STATUS" EXAMPLES; do
    zcat "$page" | grep -q "^\.SH \"\?$section" || { echo "$(basename "$page"): no $section" >&2; status=1; }
  done
done

# The filter's conversion names the program that is installed.
grep -q '^text/x-dos-report application/pdf [0-9]* folvektopdf$' "$prefix/share/cups/mime/folvek.convs" ||
  { echo "folvek.convs does not name folvektopdf" >&2; status=1; }
# The user unit starts the program that the package installs, with the folder of its instance.
grep -q '^ExecStart=/usr/bin/folvek-print --watch "%f"$' "$prefix/lib/systemd/user/folvek-watch@.service" ||
  { echo "folvek-watch@.service does not start folvek-print --watch" >&2; status=1; }
# The example settings file sets nothing: every line of it is a comment or the section.
if grep -v '^;' "$prefix/etc/folvek/FOLVK95.INI" | grep -qv '^\[Folvk\]$'; then
  echo "FOLVK95.INI: a setting is not commented out" >&2; status=1
fi
# The desktop entry claims our own type only: plain text stays with the user's editor.
desktop=$prefix/share/applications/io.github.folvek.Folvek.desktop
grep -qx 'MimeType=text/x-prn;' "$desktop" || { echo "desktop entry: MimeType is not text/x-prn only" >&2; status=1; }
grep -qx 'StartupWMClass=folvek' "$desktop" || { echo "desktop entry: no StartupWMClass=folvek" >&2; status=1; }
# The validators, where installed, with neither errors nor warnings (no network here: the
# AppStream check leaves the web addresses alone).
if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$desktop" 2>&1) || status=1
  [ -z "$out" ] || { echo "$out" >&2; status=1; }
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --explain "$prefix/share/metainfo/io.github.folvek.Folvek.metainfo.xml" >/dev/null 2>&1 ||
    { appstreamcli validate --no-net "$prefix/share/metainfo/io.github.folvek.Folvek.metainfo.xml" >&2; status=1; }
fi
exit $status
