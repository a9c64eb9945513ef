#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a while.
#
#   fuzz/run.sh [seconds] [target...]
#
# seconds: time per target (default 600). targets: any of manifest scan diff json cli (default:
# all). At most QV_FUZZ_JOBS targets run at once (default 4). The working corpus grows in
# fuzz/corpus/<target>/ (started from fuzz/corpus-seed/<target>/), crashes land in
# fuzz/artifacts/<target>/, and each run's log in fuzz/artifacts/<target>.log.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(dirname "$here")"
build="${QV_FUZZ_BUILD:-$repo/build-fuzz}"
seconds="${1:-600}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(manifest scan diff json cli)
jobs="${QV_FUZZ_JOBS:-4}"

# Longest input per target: enough for the structures each reader knows, small enough to stay fast.
max_len() {
  case "$1" in
    manifest) echo 4096 ;;
    scan) echo 8192 ;;
    diff) echo 4096 ;;
    json) echo 4096 ;;
    cli) echo 512 ;;
    *) echo "unknown target: $1" >&2; exit 2 ;;
  esac
}
for target in "${targets[@]}"; do max_len "$target" >/dev/null; done

# The preset fuzz of CMakePresets.json, in build-fuzz/ unless QV_FUZZ_BUILD names another folder;
# CXX, when set, replaces the preset's clang++-14.
(cd "$repo" && cmake --preset fuzz -B "$build" ${CXX:+"-DCMAKE_CXX_COMPILER=$CXX"} >/dev/null)
cmake --build "$build" -j3 --target "${targets[@]/#/fuzz_}"

# Undefined behaviour is reported and then ignored unless told to halt; a fuzzer must stop there.
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"

run_one() {
  local target="$1"
  local corpus="$here/corpus/$target" artifacts="$here/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  local dict=()
  [ -f "$here/dict/$target.dict" ] && dict=(-dict="$here/dict/$target.dict")
  "$build/fuzz/fuzz_$target" "$corpus" "$here/corpus-seed/$target" "${dict[@]}" \
    -max_len="$(max_len "$target")" -timeout=10 -rss_limit_mb=2048 \
    -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts/" \
    >"$here/artifacts/$target.log" 2>&1
}

declare -A pids=()
status=0
# Waits for the next fuzzer to end and says how it went.
finish_one() {
  local pid target rc=0
  wait -n -p pid || rc=$?
  for target in "${!pids[@]}"; do
    [ "${pids[$target]}" = "$pid" ] || continue
    unset "pids[$target]"
    local log="$here/artifacts/$target.log"
    if [ "$rc" -ne 0 ]; then
      echo "$target: FOUND A PROBLEM (status $rc), see ${log#"$repo"/}"
      status=1
    else
      echo "$target: clean, $(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" |
        grep -o '[0-9]*$') runs, $(grep -o 'cov: [0-9]*' "$log" | tail -1)"
    fi
  done
}

mkdir -p "$here/artifacts"
for target in "${targets[@]}"; do
  while [ ${#pids[@]} -ge "$jobs" ]; do finish_one; done
  echo "$target: fuzzing for ${seconds}s"
  run_one "$target" &
  pids[$target]=$!
done
while [ ${#pids[@]} -gt 0 ]; do finish_one; done
exit "$status"
