#!/bin/bash
# Installs the build into a fresh folder and runs the installed calculator there.
# Usage: install.sh BUILD-DIR
set -eu
build=$1
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

cmake --install "$build" --prefix "$dir" >/dev/null
# The manual pages and the changelog are gzipped; the licence is in Debian's copyright format.
same() { # INSTALLED SOURCE
    [ -f "$dir/$1" ] || { echo "FAIL: $1 was not installed"; exit 1; }
    gzip -dc "$dir/$1" | cmp -s - "$here/../$2" || { echo "FAIL: the installed $1 is not $2 gzipped"; exit 1; }
}
same share/man/man1/rpn.1.gz rpn.1
same share/man/pl/man1/rpn.1.gz rpn.pl.1
same share/doc/rpn/changelog.gz changelog
copyright=$dir/share/doc/rpn/copyright
[ -x "$dir/bin/rpn" ] || { echo "FAIL: bin/rpn was not installed"; exit 1; }
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' "$copyright" &&
    grep -q '^License: Expat$' "$copyright" &&
    grep -q '^ Permission is hereby granted, free of charge' "$copyright" &&
    grep -q '^ SOFTWARE\.$' "$copyright" || { echo "FAIL: no licence in share/doc/rpn/copyright"; exit 1; }
found=$(cd "$dir" && find . -type f | sort | tr '\n' ' ')
[ "$found" = "./bin/rpn ./share/doc/rpn/changelog.gz ./share/doc/rpn/copyright ./share/man/man1/rpn.1.gz ./share/man/pl/man1/rpn.1.gz " ] ||
    { echo "FAIL: installed $found"; exit 1; }

out=$(cd / && printf '2 3 + s w' | PATH="$here:/usr/bin:/bin" "$dir/bin/rpn")
want=$(printf '%s' "<clear>
- - - - - - - - - - - - - - - - - - - - - -
      Program obliczajacy zapis RPN
   Podaj notacje oddzielajac dane spacja
- - - - - - - - - - - - - - - - - - - - - -

Wynik rownania: 5

Zawartosc zapisanego stosu: 5 

<clear>

- - - - - - - - - - - - - - - - - - - - - -
  Dziekuje za skorzystanie z moich uslug
- - - - - - - - - - - - - - - - - - - - - -")
[ "$out" = "$want" ] || { echo "FAIL: the installed rpn wrote:"; echo "$out"; exit 1; }
echo "installed and ran"
