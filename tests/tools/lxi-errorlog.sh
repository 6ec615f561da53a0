#!/usr/bin/env bash
# lxi-errorlog on good, cut and malformed logs, its catalogue options, and
# --follow on a log that grows and is replaced.
# Usage: lxi-errorlog.sh TOOL [EMULATOR...]
set -uo pipefail
tool=("${@:2}" "$1")
dir=$(mktemp -d)
follower=
trap '[[ -n $follower ]] && kill "$follower" 2>/dev/null; rm -rf "$dir"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
utf16() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE; }
mark() { printf '\xff\xfe'; }

# expect STATUS STDOUT-FILE STDERR-PATTERN ARGS...: runs the tool in $dir/bin.
expect() {
    local status=$1 want=$2 pattern=$3
    shift 3
    (cd "$dir/bin" && "${tool[@]}" "$@") >"$dir/out" 2>"$dir/err"
    local got=$?
    [[ $got == "$status" ]] || fail "$*: status $got, wanted $status ($(cat "$dir/err"))"
    cmp -s "$want" "$dir/out" || fail "$*: output differs: $(head -c 300 "$dir/out" | od -c | head -5)"
    if [[ -z $pattern ]]; then
        [[ ! -s $dir/err ]] || fail "$*: stderr: $(cat "$dir/err")"
    else
        grep -q -- "$pattern" "$dir/err" || fail "$*: stderr lacks \"$pattern\": $(cat "$dir/err")"
    fi
}

mkdir -p "$dir/bin" "$dir/Data" "$dir/adir"
: >"$dir/none"
line1='2026-12-04 08:30:38 SetCurrentDirectory: failed! in line 707, file: /src/Osal.cpp'
line2='2026-12-04 08:31:02 Vendor Message: Ω 50 € 😀 100%.'

# A log as CErrorHandler writes it; non-ASCII text and a surrogate pair come
# out as UTF-8, a lone surrogate and control characters other than tab as "?".
{ mark; utf16 "$line1"$'\n'; utf16 "$line2"$'\n'; utf16 'x'; printf '\x00\xd8'; utf16 $'y\t\e[2J\r\n'; } \
    >"$dir/Data/ErrorLog.log"
printf '%s\n%s\nx?y\t?[2J?\n' "$line1" "$line2" >"$dir/good.txt"
expect 0 "$dir/good.txt" '' ../Data/ErrorLog.log
expect 0 "$dir/good.txt" ''                        # the default path

# A last line cut before its line feed still prints, ended by one.
{ mark; utf16 "$line1"$'\n'; utf16 'cut'; } >"$dir/cut.log"
printf '%s\ncut\n' "$line1" >"$dir/cut.txt"
expect 0 "$dir/cut.txt" '' ../cut.log

mark >"$dir/empty.log"
expect 0 "$dir/none" '' ../empty.log

# Malformed or unreadable: a message, status 1, nothing on standard output.
: >"$dir/zero.log"
utf16 "$line1"$'\n' >"$dir/nomark.log"
printf '%s\n' "$line1" >"$dir/utf8.log"
{ mark; utf16 "$line1"$'\n'; printf 'z'; } >"$dir/odd.log"
expect 1 "$dir/none" 'cannot open ../missing.log: No such file' ../missing.log
expect 1 "$dir/none" 'no byte-order mark' ../zero.log
expect 1 "$dir/none" 'no byte-order mark' ../nomark.log
expect 1 "$dir/none" 'no byte-order mark' ../utf8.log
expect 1 "$dir/none" "odd number of bytes ($(stat -c %s "$dir/odd.log"))" ../odd.log
expect 1 "$dir/none" 'Is a directory' ../adir
(cd "$dir/bin" && rm -f ../Data/ErrorLog.log)
expect 1 "$dir/none" 'cannot open ../Data/ErrorLog.log' --follow

# The catalogue.
printf 'SetCurrentDirectory: failed!\n' >"$dir/id110.txt"
expect 0 "$dir/id110.txt" '' --id 110
printf 'Start Background Process failed. Errorcode: %%d.\n' >"$dir/id154.txt"
expect 0 "$dir/id154.txt" '' --id 154
expect 1 "$dir/none" 'no error id 155' --id 155
for bad in x -1 7x ''; do
    expect 2 "$dir/none" '--id needs a number' --id "$bad"
done
(cd "$dir/bin" && "${tool[@]}" --catalogue) >"$dir/out" 2>&1 || fail "--catalogue failed"
[[ $(wc -l <"$dir/out") == 155 ]] || fail "--catalogue: $(wc -l <"$dir/out") lines"
grep -qx '  0  Vendor Message: %ls\.' "$dir/out" || fail "--catalogue: no id 0"
grep -qx '110  SetCurrentDirectory: failed!' "$dir/out" || fail "--catalogue: no id 110"
(cd "$dir/bin" && "${tool[@]}" --help) >"$dir/out" 2>&1 || fail "--help failed"
grep -q '^Usage: lxi-errorlog' "$dir/out" || fail "--help: no usage"
expect 2 "$dir/none" 'unknown option --bogus' --bogus
expect 2 "$dir/none" 'separate uses' --id 1 --catalogue

# --follow: lines appear as they are appended, a half-written line only once
# it is whole, and a replaced log is read from its start.
# waitfor N: until the follower has printed N lines (bounded).
waitfor() {
    for _ in $(seq 200); do
        [[ $(wc -l <"$dir/follow.out") -ge $1 ]] && return 0
        sleep 0.1
    done
    fail "--follow: $(wc -l <"$dir/follow.out") lines after 20 s, wanted $1"
    return 1
}
{ mark; utf16 "$line1"$'\n'; } >"$dir/live.log"
: >"$dir/follow.out"
(cd "$dir/bin" && exec "${tool[@]}" --follow ../live.log) >>"$dir/follow.out" 2>&1 &
follower=$!
if waitfor 1; then
    utf16 "$line2"$'\n' >"$dir/part"
    head -c 9 "$dir/part" >>"$dir/live.log"       # ends inside a code unit
    sleep 0.5
    [[ $(wc -l <"$dir/follow.out") == 1 ]] || fail "--follow printed a half line"
    tail -c +10 "$dir/part" >>"$dir/live.log"
    waitfor 2
    { mark; utf16 $'new log\n'; } >"$dir/live.new" && mv "$dir/live.new" "$dir/live.log"
    waitfor 3
    printf '%s\n%s\nnew log\n' "$line1" "$line2" >"$dir/follow.txt"
    cmp -s "$dir/follow.txt" "$dir/follow.out" || fail "--follow output: $(cat "$dir/follow.out")"
fi
kill -0 "$follower" 2>/dev/null || fail "--follow ended by itself"
kill "$follower" 2>/dev/null
wait "$follower" 2>/dev/null
follower=

((failures == 0)) && echo "lxi-errorlog: all checks passed"
exit $((failures != 0))
