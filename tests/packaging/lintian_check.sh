#!/usr/bin/env bash
# The Debian package as lintian sees it, pedantic tags included: no error, warning or pedantic
# tag (informational ones are allowed). Skips (77) when lintian is not installed.
#   lintian_check.sh BUILD_DIR
set -uo pipefail
build=$(cd "${1:?usage: lintian_check.sh BUILD_DIR}" && pwd)
command -v lintian >/dev/null || { echo "lintian not installed: skipped" >&2; exit 77; }
work=$(mktemp -d /tmp/folvek-lintian.XXXXXX)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; exit 1; }
deb=$(ls "$work"/folvek_*.deb | head -n1)
tags=$(lintian --pedantic --no-tag-display-limit "$deb" 2>/dev/null | grep -E '^[EWP]: ')
if [ -n "$tags" ]; then
  echo "$tags" >&2
  exit 1
fi
echo "lintian --pedantic: no errors, warnings or pedantic tags in $(basename "$deb")"
