#!/bin/bash
# The manual page renders without a single warning.
# Usage: manpage.sh PATH-TO-rpn.1
page=$1
ran=0
if command -v groff >/dev/null; then
    out=$(groff -man -ww -z "$page" 2>&1)
    [ -z "$out" ] || { echo "groff warns:"; echo "$out"; exit 1; }
    ran=1
fi
if command -v mandoc >/dev/null; then
    out=$(mandoc -T lint "$page" 2>&1)
    [ -z "$out" ] || { echo "mandoc warns:"; echo "$out"; exit 1; }
    ran=1
fi
if [ "$ran" = 0 ]; then
    echo "SKIPPED: neither groff nor mandoc is installed (apt-get install groff mandoc)"
    exit 77
fi
echo "the manual page renders cleanly"
