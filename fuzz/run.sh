#!/usr/bin/env bash
# Runs every fuzz target for a bounded time, starting from its seed corpus.
#
#   fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
#
# New inputs the fuzzer finds go to BUILD_DIR/corpus/TARGET (the seeds in
# fuzz/corpus stay as they are); a crash leaves its input in
# BUILD_DIR/artifacts/ and fails the run. Prints, per target, the runs made
# and their rate. Exit status: 0 no crash, 1 a target crashed or did not run.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -lt 2 ]; then
  echo "usage: fuzz/run.sh BUILD_DIR SECONDS [TARGET...]" >&2
  exit 1
fi
build=$1 seconds=$2
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for d in "$here"/corpus/*/; do targets+=("$(basename "$d")"); done
fi

mkdir -p "$build/artifacts"
failed=0
total=0
for t in "${targets[@]}"; do
  exe="$build/bin/$t"
  if [ ! -x "$exe" ]; then
    echo "fuzz: $t is not built" >&2
    failed=1
    continue
  fi
  work="$build/corpus/$t"
  mkdir -p "$work"
  log="$build/$t.log"
  # One process, no forks: -max_total_time bounds it; -timeout catches hangs.
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$t-" "$work" "$here/corpus/$t" > "$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
  if [ $status -ne 0 ]; then
    echo "fuzz: $t FAILED (status $status); its log: $log"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -5
    ls "$build/artifacts/$t-"* 2>/dev/null | head -3
    failed=1
  else
    printf 'fuzz: %-26s %9s runs in %ss (%s/s), %s, no crash\n' "$t" "${runs:-?}" "$seconds" "${rate:-?}" "${cov:-cov: ?}"
    total=$((total + ${runs:-0}))
  fi
done
echo "fuzz: $total runs in all"
exit $failed
