#!/bin/bash
# The calculator in a real terminal, typed at as a person would, under tmux.
# Usage: terminal.sh PATH-TO-RPN
set -u
rpn=$1
if ! command -v tmux >/dev/null; then
    echo "SKIPPED: tmux is not installed (apt-get install tmux)"
    exit 77
fi
sock=rpn-term-$$
tm() { tmux -L "$sock" "$@"; }
trap 'tm kill-server 2>/dev/null' EXIT

screen() { tm capture-pane -p -t t; }
fail() { echo "FAIL: $1"; echo "--- screen ---"; screen; exit 1; }

# Waits up to 10 s for the screen to show a line matching the pattern.
await() {
    for _ in $(seq 100); do
        screen | grep -q -- "$1" && return 0
        sleep 0.1
    done
    fail "waited in vain for: $1"
}

tm -f /dev/null new-session -d -s t -x 80 -y 24 \
    "echo 'leftover before start'; '$rpn'; echo \"[status=\$?]\"; sleep 60"
await 'Podaj notacje oddzielajac dane spacja'
screen | grep -q 'leftover before start' && fail "the screen was not cleared at start"
screen | grep -q '^      Program obliczajacy zapis RPN$' || fail "no title on the start screen"

tm send-keys -t t '2 3 +' Enter
await '^Wynik rownania: 5$'
tm send-keys -t t '42' Enter
await '^42$'
sleep 0.5
[ "$(screen | grep -c .)" -eq 7 ] || fail "a number alone wrote something"
tm send-keys -t t 'q' Enter
await 'status='
screen | grep -q 'Program obliczajacy' && fail "the screen was not cleared at the end"
screen | grep -q '^  Dziekuje za skorzystanie z moich uslug$' || fail "no farewell"
screen | grep -q -- '- -\[status=0\]$' || fail "exit status not 0, or a newline after the farewell"
echo "terminal session as expected"
