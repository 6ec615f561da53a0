#!/usr/bin/env bash
# lxi-errorlog.sh TOOL [EMULATOR...]: lxi-errorlog on good, cut and malformed logs, its options
# and their errors, and --follow on a log that grows, is replaced and is emptied.
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
    [[ $got == "$status" ]] || fail "$*: status $got, wanted $status ($(cat "$dir/err"))"
    cmp -s <(printf '%s' "$want") "$dir/out" || fail "$*: output: $(od -c "$dir/out" | head -5)"
    if [[ -z $pattern ]]; then [[ ! -s $dir/err ]]; else grep -qF -- "$pattern" "$dir/err"; fi ||
        fail "$*: stderr, wanted \"$pattern\": $(cat "$dir/err")"
}

mkdir -p "$dir/bin" "$dir/Data" "$dir/adir"
line1='2026-12-04 08:30:38 SetCurrentDirectory: failed! in line 707, file: /src/Osal.cpp'
line2='2026-12-04 08:31:02 Vendor Message: Ω 50 € 😀 100%.'
# As CErrorHandler writes it; a lone surrogate and controls but tab come out as "?".
{ mark; utf16 "$line1"$'\n'; utf16 "$line2"$'\n'; utf16 'x'; printf '\x00\xd8'; utf16 $'y\t\e[2J\r\n'; } \
    >"$dir/Data/ErrorLog.log"
last=$'x?y\t?[2J?\n'
{ mark; utf16 "$line1"$'\n'; utf16 'cut'; } >"$dir/cut.log"   # a last line without its line feed
mark >"$dir/empty.log" && : >"$dir/zero.log"
utf16 "$line1"$'\n' >"$dir/nomark.log"
{ mark; utf16 "$line1"$'\n'; printf 'z'; } >"$dir/odd.log"

expect 0 "$line1"$'\n'"$line2"$'\n'"$last" '' ../Data/ErrorLog.log
expect 0 "$line1"$'\n'"$line2"$'\n'"$last" ''      # the default path
expect 0 "$line2"$'\n'"$last" '' -n 2
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
1|cannot open ../missing.log: No such file|../missing.log
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
out=$("${tool[@]}" --catalogue)
[[ $? == 0 && $(wc -l <<<"$out") == 155 ]] && grep -qx '  0  Vendor Message: %ls\.' <<<"$out" &&
    grep -qx '110  SetCurrentDirectory: failed!' <<<"$out" || fail "--catalogue: $(head -3 <<<"$out")"
"${tool[@]}" -V | grep -qx 'lxi-errorlog (lxibase) [0-9.]*' || fail "--version: $("${tool[@]}" -V)"

# --follow -n 1: the last line, then each appended one once whole, a replaced and an emptied log.
waitfor() {   # until the follower has printed $1 lines (at most 20 s)
    for _ in $(seq 200); do [[ $(wc -l <"$dir/follow.out") -ge $1 ]] && return 0; sleep 0.1; done
    fail "--follow: $(wc -l <"$dir/follow.out") lines after 20 s, wanted $1" && return 1
}
{ mark; utf16 $'old\n'"$line1"$'\n'; } >"$dir/live.log" && : >"$dir/follow.out"
(cd "$dir/bin" && exec "${tool[@]}" --follow -n 1 ../live.log) >"$dir/follow.out" 2>&1 &
follower=$!
waitfor 1
(($# > 1)) || ls -l "/proc/$follower/fd" | grep -q inotify || fail "--follow without inotify"
utf16 "$line2"$'\n' >"$dir/part"
head -c 9 "$dir/part" >>"$dir/live.log"       # ends inside a code unit
sleep 0.5
[[ $(wc -l <"$dir/follow.out") == 1 ]] || fail "--follow printed a half line"
tail -c +10 "$dir/part" >>"$dir/live.log"
waitfor 2
{ mark; utf16 $'new log, longer than the next\n'; } >"$dir/live.new" && mv "$dir/live.new" "$dir/live.log"
waitfor 3
{ mark; utf16 $'emptied\n'; } >"$dir/live.log"
waitfor 4
cmp -s <(printf '%s\n' "$line1" "$line2" 'new log, longer than the next' emptied) "$dir/follow.out" ||
    fail "--follow output: $(cat "$dir/follow.out")"
kill "$follower" 2>/dev/null || fail "--follow ended by itself"
wait "$follower" 2>/dev/null; follower=

((failures == 0)) && echo "lxi-errorlog: all checks passed"
exit $((failures != 0))
