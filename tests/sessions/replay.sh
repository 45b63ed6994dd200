#!/usr/bin/env bash
# Replays one scripted session through the host simulator and compares what it
# prints with the expected transcript (a golden file).
#
#   replay.sh [--wine] [--update] HOST PLUGIN SESSION.jsonl EXPECTED
#
#   HOST     quorvel-host (or quorvel-host.exe with --wine)
#   PLUGIN   the plug-in library to load
#   SESSION  protocol lines, one JSON object a line
#   EXPECTED the output the session must give, line for line
#
#   --wine   run HOST under wine64 (/usr/lib/wine/wine64, or $WINE), with
#            WINEDEBUG=-all and the prefix build/wineprefix (or $WINEPREFIX),
#            created on first use. Paths handed to the program become Z:\...
#   --update write the output to EXPECTED instead of comparing (placeholders
#            put back); review the change with git diff before committing it.
#
# Placeholders, replaced in SESSION and EXPECTED before the run:
#   @DIR@      a fresh empty directory, removed afterwards, written as the host
#              hands a configuration directory over: with a trailing separator,
#              as a Windows path (Z:\tmp\...\) under wine. It stands inside JSON
#              strings, so it is inserted JSON-escaped (each \ doubled).
#   @HOSTDIR@  HOST's own directory in the same form: what Api_GetAppDirectory
#              returns unless the session sets it.
#
# Fixtures, optional, beside SESSION: NAME.db.sql is run by SQLite into a new
# tovu.db in @DIR@ (a shop with products and card keys already in it), and
# NAME.cfg.ini (UTF-8 in the repository) is written to @DIR@/cfg.ini in GBK,
# as the plug-in's settings file is.
#
# Comparison: exact, except that the output of a "concurrent" line may come in
# any order, so within the output of such a line the api and ui lines are
# compared sorted (their number and content still have to match).
#
# Exit status: 0 same, 1 different or the run failed, 77 skipped (HOST missing;
# with --wine also wine or PLUGIN missing, as the win64 build may not exist).
set -euo pipefail

wine=0
update=0
while [ $# -gt 0 ]; do
  case "$1" in
    --wine) wine=1; shift ;;
    --update) update=1; shift ;;
    --) shift; break ;;
    -*) echo "replay.sh: unknown option $1" >&2; exit 1 ;;
    *) break ;;
  esac
done
if [ $# -ne 4 ]; then
  echo "usage: replay.sh [--wine] [--update] HOST PLUGIN SESSION.jsonl EXPECTED" >&2
  exit 1
fi
host=$1 plugin=$2 session=$3 expected=$4
here=$(cd "$(dirname "$0")" && pwd)

if [ ! -f "$host" ]; then
  echo "replay.sh: skipped: $host is not built" >&2
  exit 77
fi
host=$(cd "$(dirname "$host")" && pwd -P)/$(basename "$host")
case "$plugin" in /*) ;; *) plugin=$(pwd)/$plugin ;; esac
if [ $wine -eq 1 ] && [ ! -f "$plugin" ]; then
  echo "replay.sh: skipped: $plugin is not built" >&2
  exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-replay.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/dir"

# A Unix path as the Windows programs under wine see it (drive Z: is /).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

if [ $wine -eq 1 ]; then
  source "$here/wine-env.sh"
  dir_text="$(windows_path "$work/dir")\\"
  hostdir_text="$(windows_path "$(dirname "$host")")\\"
  run=("$WINE" "$host" --plugin "$(windows_path "$plugin")" --jsonl "$(windows_path "$work/session.jsonl")")
else
  dir_text="$work/dir/"
  hostdir_text="$(dirname "$host")/"
  run=("$host" --plugin "$plugin" --jsonl "$work/session.jsonl")
fi
# Inside JSON strings a backslash is written doubled.
export REPLAY_DIR="${dir_text//\\/\\\\}" REPLAY_HOSTDIR="${hostdir_text//\\/\\\\}"

substitute() { perl -pe 's/\@HOSTDIR\@/$ENV{REPLAY_HOSTDIR}/g; s/\@DIR\@/$ENV{REPLAY_DIR}/g' "$1"; }

fixture=${session%.jsonl}
if [ -f "$fixture.db.sql" ]; then
  python3 -c 'import sqlite3,sys; c=sqlite3.connect(sys.argv[1]); c.executescript(open(sys.argv[2],encoding="utf-8").read()); c.commit()' \
    "$work/dir/tovu.db" "$fixture.db.sql"
fi
if [ -f "$fixture.cfg.ini" ]; then
  iconv -f UTF-8 -t GBK "$fixture.cfg.ini" > "$work/dir/cfg.ini"
fi

substitute "$session" > "$work/session.jsonl"
status=0
"${run[@]}" > "$work/actual" 2> "$work/stderr" < /dev/null || status=$?
if [ $status -ne 0 ]; then
  echo "replay.sh: $(basename "$session"): the host exited with status $status" >&2
  cat "$work/stderr" >&2
  exit 1
fi

if [ $update -eq 1 ]; then
  perl -pe 's/\Q$ENV{REPLAY_HOSTDIR}\E/\@HOSTDIR\@/g; s/\Q$ENV{REPLAY_DIR}\E/\@DIR\@/g' "$work/actual" > "$expected"
  echo "replay.sh: wrote $expected"
  exit 0
fi

# Sorts the api and ui lines within the output of each concurrent line.
normalize() {
  perl -e '
    my ($input, $output) = @ARGV;
    open my $in, "<", $input or die "$input: $!";
    my @concurrent;
    while (my $l = <$in>) {
      $l =~ s/^\xEF\xBB\xBF// if $. == 1;
      next if $l =~ /^\s*$/;
      push @concurrent, ($l =~ /(?<!\\)"concurrent"\s*:/ ? 1 : 0);
    }
    open my $out, "<", $output or die "$output: $!";
    my ($n, @block) = (0);
    while (my $l = <$out>) {
      $l .= "\n" unless $l =~ /\n$/;
      if ($l =~ /^\{"(api|ui)":/) { push @block, $l; next; }
      print $concurrent[$n] ? sort(@block) : @block;
      print $l;
      @block = ();
      $n++;
    }
    print @block;
  ' "$work/session.jsonl" "$1"
}

substitute "$expected" > "$work/expected.raw"
normalize "$work/expected.raw" > "$work/expected"
normalize "$work/actual" > "$work/actual.normalized"
if ! diff -u --label "expected: $expected" --label "actual" "$work/expected" "$work/actual.normalized"; then
  [ -s "$work/stderr" ] && { echo "--- standard error:"; cat "$work/stderr"; }
  exit 1
fi
