#!/usr/bin/env bash
# Checks of the host simulator that a golden transcript cannot express: lines
# that are not valid protocol, a plug-in that cannot be loaded, many threads
# writing at once, and the default plug-in found beside the program by its
# Chinese file name.
#
#   host-checks.sh [--wine] HOST STAND_IN_PLUGIN
#
# Exit status: 0 all passed, 1 a check failed, 77 skipped (HOST not built, or
# no wine with --wine).
set -uo pipefail

wine=0
if [ "${1:-}" = "--wine" ]; then wine=1; shift; fi
if [ $# -ne 2 ]; then
  echo "usage: host-checks.sh [--wine] HOST STAND_IN_PLUGIN" >&2
  exit 1
fi
host=$1 plugin=$2
if [ ! -f "$host" ]; then
  echo "host-checks.sh: skipped: $host is not built" >&2
  exit 77
fi
host=$(cd "$(dirname "$host")" && pwd -P)/$(basename "$host")
plugin=$(cd "$(dirname "$plugin")" && pwd -P)/$(basename "$plugin")

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-host-checks.XXXXXX")
trap 'rm -rf "$work"' EXIT

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
if [ $wine -eq 1 ]; then
  source "$(dirname "$0")/../wine-env.sh"
  as_arg() { windows_path "$1"; }
  run() { "$WINE" "$@"; }
else
  as_arg() { printf '%s' "$1"; }
  run() { "$@"; }
fi

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Runs HOST on the session in $work/session.jsonl, with the stand-in or the
# plug-in given.
run_session() {
  run "$host" --plugin "$(as_arg "${1:-$plugin}")" --jsonl "$(as_arg "$work/session.jsonl")" \
    > "$work/out" 2> "$work/err" < /dev/null
  echo $?
}

# A bad line after a valid start: exit 2, exactly one line on standard error
# naming the bad line, the output of the lines before it, nothing after it.
#   expect_protocol_error NAME WITH_WINDOW BAD_LINE
expect_protocol_error() {
  local name=$1 with_window=$2 bad=$3 before=2 line=2
  {
    echo '{"call":"LoadingInfo","args":[1]}'
    if [ "$with_window" = window ]; then
      echo '{"call":"Menu","args":[]}'
      before=3 line=3
    fi
    printf '%s\n' "$bad"
    echo '{"call":"EventEnable","args":[]}'
  } > "$work/session.jsonl"
  local status
  status=$(run_session)
  [ "$status" = 2 ] || fail "$name: exit status $status, expected 2"
  [ "$(wc -l < "$work/err")" -eq 1 ] || fail "$name: standard error has $(wc -l < "$work/err") lines: $(cat "$work/err")"
  grep -q "^quorvel-host: line $line: " "$work/err" || fail "$name: error does not name line $line: $(cat "$work/err")"
  [ "$(wc -l < "$work/out")" -eq "$before" ] || fail "$name: $(wc -l < "$work/out") output lines, expected $before"
  ! grep -q '启用' "$work/out" || fail "$name: a line after the error was run"
}

cases=(
  "not JSON|-|{\"call\":"
  "not an object|-|[1,2]"
  "no kind of line|-|{\"args\":[]}"
  "two kinds of line|-|{\"call\":\"Menu\",\"args\":[],\"host\":\"Api_SetFatal\",\"returns\":0}"
  "unknown export|-|{\"call\":\"Nope\",\"args\":[]}"
  "export name not a string|-|{\"call\":5,\"args\":[]}"
  "args missing|-|{\"call\":\"EventEnable\"}"
  "args not an array|-|{\"call\":\"EventStop\",\"args\":0}"
  "too few args|-|{\"call\":\"EventInit\",\"args\":[]}"
  "too many args|-|{\"call\":\"EventEnable\",\"args\":[1]}"
  "string for int|-|{\"call\":\"EventStop\",\"args\":[\"0\"]}"
  "real for int|-|{\"call\":\"EventStop\",\"args\":[1.5]}"
  "int beyond 32 bits|-|{\"call\":\"EventStop\",\"args\":[2147483648]}"
  "null for int|-|{\"call\":\"EventStop\",\"args\":[null]}"
  "int for text|-|{\"call\":\"EventInit\",\"args\":[5]}"
  "bool for text|-|{\"call\":\"EventInit\",\"args\":[true]}"
  "unknown member|-|{\"call\":\"EventEnable\",\"args\":[],\"arg\":[]}"
  "export the plug-in lacks|-|{\"call\":\"EventGroupMsg\",\"args\":[\"\",0,\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"]}"
  "concurrent not a list|-|{\"concurrent\":{\"call\":\"EventEnable\",\"args\":[]}}"
  "concurrent bad call|-|{\"concurrent\":[{\"call\":\"EventEnable\",\"args\":[]},{\"call\":\"EventInit\",\"args\":[1]}]}"
  "concurrent negative repeat|-|{\"concurrent\":[{\"call\":\"EventEnable\",\"args\":[]}],\"repeat\":-1}"
  "host unknown function|-|{\"host\":\"Api_Nope\",\"returns\":1}"
  "host text for int|-|{\"host\":\"Api_Initialize\",\"returns\":\"7\"}"
  "host int for text|-|{\"host\":\"Api_GetFrameVersion\",\"returns\":1}"
  "host returns missing|-|{\"host\":\"Api_Initialize\"}"
  "window before Menu|-|{\"window\":\"read\",\"control\":\"编辑框_测试\"}"
  "reply before Menu|-|{\"window\":\"reply\",\"button\":\"ok\"}"
  "window refuses the line|window|{\"window\":\"click\",\"control\":\"按钮_没有\"}"
  "reply with another button|window|{\"window\":\"reply\",\"button\":\"yes\"}"
  "reply text not a string|window|{\"window\":\"reply\",\"button\":\"ok\",\"text\":1}"
  "window kind not a string|window|{\"window\":1}"
)
for c in "${cases[@]}"; do
  IFS='|' read -r name with_window bad <<< "$c"
  expect_protocol_error "$name" "$with_window" "$bad"
done

# A closed window takes no more lines.
printf '%s\n' '{"call":"Menu","args":[]}' '{"window":"close"}' '{"window":"read","control":"编辑框_测试"}' > "$work/session.jsonl"
status=$(run_session)
[ "$status" = 2 ] && grep -q "^quorvel-host: line 3: " "$work/err" || fail "window after close: status $status, $(cat "$work/err")"

# Blank lines and a final line without a line end are fine.
printf '\n{"call":"LoadingInfo","args":[1]}\n  \n{"call":"EventEnable","args":[]}' > "$work/session.jsonl"
status=$(run_session)
[ "$status" = 0 ] && [ "$(wc -l < "$work/out")" -eq 4 ] || fail "blank lines: status $status, $(cat "$work/out" "$work/err")"

# A plug-in that cannot be loaded: exit 1.
printf '%s\n' '{"call":"LoadingInfo","args":[1]}' > "$work/session.jsonl"
status=$(run_session "$work/no-such-plugin.so")
[ "$status" = 1 ] && [ ! -s "$work/out" ] || fail "missing plug-in: status $status, expected 1"

# Many threads at once: every line whole, none lost.
repeat=250
printf '{"call":"LoadingInfo","args":[1]}\n{"concurrent":[' > "$work/session.jsonl"
for t in 1 2 3 4; do
  [ $t -gt 1 ] && printf ',' >> "$work/session.jsonl"
  printf '{"call":"EventFriendMsg","args":["wxid_bot",1,"wxid_u%d","N","","","消息%d 的内容比较长一些，以便写出时更容易交错","m",""]}' $t $t \
    >> "$work/session.jsonl"
done
printf '],"repeat":%d}\n' $repeat >> "$work/session.jsonl"
status=$(run_session)
[ "$status" = 0 ] || fail "concurrent: status $status: $(cat "$work/err")"
[ "$(wc -l < "$work/out")" -eq $((2 + 4 * repeat + 1)) ] || fail "concurrent: $(wc -l < "$work/out") lines"
for t in 1 2 3 4; do
  want="{\"api\":\"Api_SendTextMsg\",\"handle\":1,\"args\":[\"wxid_bot\",\"wxid_u$t\",\"消息$t 的内容比较长一些，以便写出时更容易交错\"]}"
  n=$(grep -cxF "$want" "$work/out")
  [ "$n" -eq $repeat ] || fail "concurrent: thread $t has $n whole lines, expected $repeat"
done
[ "$(tail -n 1 "$work/out")" = '{"ret":"done"}' ] || fail "concurrent: last line $(tail -n 1 "$work/out")"

# The default plug-in: the file beside the program, by its Chinese name.
mkdir "$work/bin"
cp "$host" "$work/bin/"
if [ $wine -eq 1 ]; then
  cp "$(dirname "$host")/coupler.dll" "$work/bin/"
  cp "$plugin" "$work/bin/Quorvel系列.cat.dll"
else
  cp "$(dirname "$host")/libcoupler.so" "$work/bin/"
  cp "$plugin" "$work/bin/Quorvel系列.cat.so"
fi
printf '%s\n' '{"call":"LoadingInfo","args":[3]}' > "$work/session.jsonl"
run "$work/bin/$(basename "$host")" --jsonl < "$work/session.jsonl" > "$work/out" 2> "$work/err"
status=$?
[ "$status" = 0 ] && grep -qF '{"ret":1}' "$work/out" || fail "default plug-in: status $status: $(cat "$work/err")"

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all host checks passed"
