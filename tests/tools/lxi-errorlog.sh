#!/usr/bin/env bash
# lxi-errorlog.sh TOOL [EMULATOR...]: good, cut and bad logs, options and their errors, --follow on a changing log.
set -uo pipefail
tool=("${@:2}" "$1")
dir=$(mktemp -d) follower= failures=0
trap '[[ -n $follower ]] && kill "$follower" 2>/dev/null; rm -rf "$dir"' EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
utf16() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE; }
mark() { printf '\xff\xfe'; }

# expect STATUS STDOUT STDERR-PATTERN ARGS...: the tool in $dir/bin; no pattern: no stderr.
expect() {
    local status=$1 want=$2 pattern=$3 got; shift 3
    got=$(cd "$dir/bin" && "${tool[@]}" "$@" >"$dir/out" 2>"$dir/err"; echo $?)
    [[ $got == "$status" && $(<"$dir/err") == *"$pattern"* && ( -n $pattern || ! -s $dir/err ) ]] ||
        fail "$*: status $got, wanted $status; stderr \"$(<"$dir/err")\", wanted \"$pattern\""
    cmp -s <(printf '%s' "$want") "$dir/out" || fail "$*: output: $(od -c "$dir/out" | head -5)"
}

mkdir -p "$dir/bin" "$dir/Data" "$dir/adir"
line1='2026-12-04 08:30:38 SetCurrentDirectory: failed! in line 707, file: /src/Osal.cpp'
line2='2026-12-04 08:31:02 Vendor Message: Ω 50 € 😀 100%.'
# As CErrorHandler writes it; a lone surrogate and controls but tab come out as "?".
{ mark; utf16 "$line1"$'\n'"$line2"$'\nx'; printf '\x00\xd8'; utf16 $'y\t\e[2J\r\n'; } >"$dir/Data/ErrorLog.log"
{ mark; utf16 "$line1"$'\n'; utf16 'cut'; } >"$dir/cut.log"   # a last line without its line feed
mark >"$dir/empty.log" && : >"$dir/zero.log"
utf16 "$line1"$'\n' >"$dir/nomark.log"
{ mark; utf16 "$line1"$'\n'; printf 'z'; } >"$dir/odd.log"

expect 0 "$line1"$'\n'"$line2"$'\nx?y\t?[2J?\n' ''      # the default path
expect 0 "$line2"$'\nx?y\t?[2J?\n' '' -n 2
expect 0 '' '' --lines 0
expect 0 "$line1"$'\ncut [cut short]\n' '' ../cut.log
expect 0 $'cut [cut short]\n' '' -n1 ../cut.log
expect 0 "$line1"$'\n[cut short]\n' '' ../odd.log   # killed in the middle of a unit
expect 0 '' '' ../empty.log
expect 0 $'SetCurrentDirectory: failed!\n' '' -i 110
expect 0 $'Start Background Process failed. Errorcode: %d.\n' '' --id=154
# Failures: a message, status 1 (file, id) or 2 (usage), nothing on stdout.
while IFS='|' read -r status pattern args && read -ra argv <<<"$args"; do
    expect "$status" '' "$pattern" "${argv[@]}"; done <<'EOF'
1|cannot open ../missing.log: No such file|--follow ../missing.log
1|no byte-order mark|../zero.log
1|no byte-order mark|../nomark.log
1|Is a directory|../adir
1|no error id 155|--id 155
2|--id needs a number, not "-1"|--id -1
2|--id needs a number, not ""|--id=
2|--lines needs a number, not "-2"|-n -2
2|unknown option --bogus|--bogus
2|unknown option -x|-x
2|option --follow takes no value|--follow=1
2|option -n/--lines needs a value|--lines
1|cannot open -n: No such file|-- -n
2|separate uses|-n 1 -c
2|one log at a time|a b
EOF
out=$("${tool[@]}" --catalogue) && (($(wc -l <<<"$out") == 155)) && grep -qx '  0  Vendor Message: %ls\.' <<<"$out" &&
    grep -qx '110  SetCurrentDirectory: failed!' <<<"$out" || fail "--catalogue: $(head -3 <<<"$out")"
"${tool[@]}" -V | grep -qx 'lxi-errorlog (lxibase) [0-9.]*' || fail "--version: $("${tool[@]}" -V)"

# --follow -n 1: the last line, then each appended one once whole, a replaced and an emptied log.
waitfor() {   # until the follower has printed what it has, and these lines, and nothing else (at most 20 s)
    shown+=("$@")
    for _ in $(seq 200); do cmp -s <(printf '%s\n' "${shown[@]}") "$dir/follow.out" && return 0; sleep 0.1; done
    fail "--follow printed $(cat "$dir/follow.out"), wanted ${shown[*]}"
}
{ mark; utf16 $'old\n'"$line1"$'\n'; } >"$dir/live.log"
(cd "$dir/bin" && exec "${tool[@]}" --follow -n 1 ../live.log) >"$dir/follow.out" 2>&1 & follower=$!
waitfor "$line1"
(($# > 1)) || ls -l "/proc/$follower/fd" | grep -q inotify || fail "--follow without inotify"
utf16 "$line2"$'\n' | head -c 9 >>"$dir/live.log"   # ends inside a code unit
sleep 0.5 && waitfor   # no half line
utf16 "$line2"$'\n' | tail -c +10 >>"$dir/live.log"
waitfor "$line2"
{ mark; utf16 $'new log, longer than the next\n'; } >"$dir/live.new" && mv "$dir/live.new" "$dir/live.log"
waitfor 'new log, longer than the next'
{ mark; utf16 $'emptied\n'; } >"$dir/live.log"
waitfor emptied
kill -0 "$follower" 2>/dev/null || fail "--follow ended by itself"

exit $((failures != 0))
