#!/bin/bash
# The manual pages render without a single warning.
# Usage: manpage.sh PAGE...
ran=0
for page in "$@"; do
    if command -v groff >/dev/null; then
        out=$(groff -man -ww -z "$page" 2>&1)
        [ -z "$out" ] || { echo "groff warns on $page:"; echo "$out"; exit 1; }
        ran=1
    fi
    if command -v mandoc >/dev/null; then
        out=$(mandoc -T lint "$page" 2>&1)
        [ -z "$out" ] || { echo "mandoc warns on $page:"; echo "$out"; exit 1; }
        ran=1
    fi
done
if [ "$ran" = 0 ]; then
    echo "SKIPPED: neither groff nor mandoc is installed (apt-get install groff mandoc)"
    exit 77
fi
echo "the manual pages render cleanly"
