#!/bin/bash
# Builds the Debian package from a release build and has lintian check it, pedantic tags
# included; it must report no error, warning or pedantic tag.
# Usage: tests/package.sh BUILD-DIR
set -euo pipefail
build=$(realpath "$1")
if ! command -v lintian >/dev/null; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq lintian >/dev/null
fi
rm -f "$build"/rpn_*.deb
(cd "$build" && cpack -G DEB >"$build/cpack.log" 2>&1) || { cat "$build/cpack.log"; exit 1; }
deb=$(ls "$build"/rpn_*.deb)
status=0
found=$(lintian --pedantic --fail-on error,warning,pedantic "$deb" 2>&1) || status=$?
found=$(grep -v 'running with root privileges' <<<"$found" || true)
if [ "$status" != 0 ] || [ -n "$found" ]; then
    echo "FAIL: lintian says:"
    echo "$found"
    exit 1
fi
echo "$(basename "$deb"): lintian finds nothing"
