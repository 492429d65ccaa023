#!/bin/bash
# Installs the build into a fresh folder and runs the installed calculator there.
# Usage: install.sh BUILD-DIR
set -eu
build=$1
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

cmake --install "$build" --prefix "$dir" >/dev/null
for f in bin/rpn share/man/man1/rpn.1; do
    [ -f "$dir/$f" ] || { echo "FAIL: $f was not installed"; exit 1; }
done
cmp -s "$here/../rpn.1" "$dir/share/man/man1/rpn.1" || { echo "FAIL: the installed manual differs"; exit 1; }

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
