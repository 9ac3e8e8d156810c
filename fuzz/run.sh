#!/usr/bin/env bash
# Runs the fuzz targets of a build for a while each, on copies of their seed
# corpora, a few at a time; fails when any target finds a fault, after printing
# its log and every input it saved (path and the first bytes as hex).
#   bash fuzz/run.sh BUILD_DIR [SECONDS] [TARGET...]   (default: 60 s, all six)
# FUZZ_PARALLEL sets how many targets run at once (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "$1" && pwd)
seconds=${2:-60}
shift $(( $# < 2 ? $# : 2 ))
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(keyfile pack language_zip png ogg markup)
parallel=${FUZZ_PARALLEL:-2}
runs=$build/fuzz-runs

# Readable stacks when a target fails; leaks inside system libraries are not ours.
symbolizer=$(command -v llvm-symbolizer-14 || command -v llvm-symbolizer || true)
export ASAN_OPTIONS=detect_leaks=1${symbolizer:+:external_symbolizer_path=$symbolizer}
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export SDL_AUDIODRIVER=dummy

# run_target NAME: one target on a fresh copy of its corpus; the log stays in its folder.
run_target() {
  local name=$1 dir=$runs/$1
  rm -rf "$dir"
  mkdir -p "$dir/corpus"
  cp fuzz/corpus/"$name"/* "$dir/corpus/"
  (cd "$dir" && "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
     -artifact_prefix="$dir/" corpus > log 2>&1)
}

# report NAME STATUS: the figures of a clean run, or everything about a failed one.
report() {
  local name=$1 status=$2 dir=$runs/$1
  local execs rate
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$dir/log")
  if [ "$status" -eq 0 ]; then
    echo "fuzz $name: no finding in ${seconds}s, ${execs:-?} executions, ${rate:-?}/s, corpus $(ls "$dir/corpus" | wc -l) inputs"
    return 0
  fi
  echo "fuzz $name: FAILED (exit status $status); the end of its log:"
  tail -n 80 "$dir/log"
  local artefact
  for artefact in "$dir"/crash-* "$dir"/leak-* "$dir"/timeout-* "$dir"/oom-*; do
    [ -e "$artefact" ] || continue
    echo "saved input: $artefact ($(stat -c %s "$artefact") bytes), first bytes:"
    od -A x -t x1z -v -N 256 "$artefact"
  done
  return 1
}

failed=0
for ((i = 0; i < ${#targets[@]}; i += parallel)); do
  batch=("${targets[@]:i:parallel}")
  pids=()
  for name in "${batch[@]}"; do
    run_target "$name" &
    pids+=($!)
  done
  for j in "${!batch[@]}"; do
    status=0
    wait "${pids[$j]}" || status=$?
    report "${batch[$j]}" "$status" || failed=1
  done
done
exit "$failed"
