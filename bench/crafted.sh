#!/usr/bin/env bash
# Times `quorvane check --json` on the crafted inputs of bench/crafted.py at N and 2N MiB and
# prints a Markdown table with the ratio of the two times: about 2 when the time grows with the
# size, 4 when it grows with its square.
#
#   bench/crafted.sh [-n MIB] [-r REPS] [-t SECONDS] [-i] [-b [LABEL=]QUORVANE]... [INPUT...]
#
#   -n   N, the smaller size in MiB (default 4)
#   -i   count instructions (valgrind --tool=callgrind, one run) instead of timing: a measure
#        that other work on the machine does not move
#   -r   runs of each command; the shortest counts (default 3)
#   -t   time limit per run in seconds (default 60); a run stopped by it shows as "> limit"
#   -b   a binary to time, with an optional label for the table; may be given more than once,
#        and the binaries then run side by side (default $QUORVANE, else build/quorvane)
#   INPUT  names of crafted.py inputs (default all; crafted.py --list names them)
#
# The inputs are written once to /tmp/quorvane-crafted-N and /tmp/quorvane-crafted-2N.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/.." && pwd)"
size=4
reps=3
limit=60
binaries=()

usage() { sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
instructions=0
while getopts "n:r:t:b:ih" opt; do
  case "$opt" in
    i) instructions=1 ;;
    n) size="$OPTARG" ;;
    r) reps="$OPTARG" ;;
    t) limit="$OPTARG" ;;
    b) binaries+=("$OPTARG") ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
[ ${#binaries[@]} -gt 0 ] || binaries=("${QUORVANE:-$repo/build/quorvane}")

say() { printf '%s\n' "$*" >&2; }
die() { say "crafted.sh: $*"; exit 2; }
[[ "$size" =~ ^[0-9]+([.][0-9]+)?$ ]] || die "-n needs a number"
[[ "$reps" =~ ^[1-9][0-9]*$ ]] || die "-r needs a positive number"
[[ "$limit" =~ ^[1-9][0-9]*$ ]] || die "-t needs a positive number"

labels=()
paths=()
for b in "${binaries[@]}"; do
  if [[ "$b" == *=* ]]; then label="${b%%=*}" path="${b#*=}"; else label="$b" path="$b"; fi
  case "$path" in /*) ;; *) path="$PWD/$path" ;; esac
  [ -x "$path" ] || die "no executable at $path"
  labels+=("$label")
  paths+=("$path")
done

double="$(awk -v n="$size" 'BEGIN { print n * 2 }')"
small_tree="/tmp/quorvane-crafted-$size"
large_tree="/tmp/quorvane-crafted-$double"
mapfile -t all_inputs < <(python3 "$here/crafted.py" --list | cut -f1)
inputs=("$@")
[ ${#inputs[@]} -gt 0 ] || inputs=("${all_inputs[@]}")
declare -A what=()
while IFS=$'\t' read -r name _ description; do what[$name]="$description"; done \
  < <(python3 "$here/crafted.py" --list)
say "writing the inputs at $size and $double MiB"
python3 "$here/crafted.py" --size "$size" --out "$small_tree" "${inputs[@]}" || exit 2
python3 "$here/crafted.py" --size "$double" --out "$large_tree" "${inputs[@]}" || exit 2

# shortest of the runs in seconds, or "> limit" when a run hit the limit, or "failed"
time_best() {
  local dir="$1" bin="$2" best="" t0 t1 rc elapsed
  for ((i = 0; i < reps; i++)); do
    t0=$EPOCHREALTIME
    (cd "$dir" && timeout "$limit" "$bin" check --json >/dev/null 2>&1)
    rc=$?
    t1=$EPOCHREALTIME
    [ $rc -eq 124 ] && { echo "> $limit"; return; }
    [ $rc -le 1 ] || { echo "failed"; return; }
    elapsed="$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }')"
    if [ -z "$best" ] || awk -v a="$elapsed" -v b="$best" 'BEGIN { exit !(a < b) }'; then best="$elapsed"; fi
  done
  echo "$best"
}
# instructions of one run, or "failed"
count_instructions() {
  local dir="$1" bin="$2" log
  log="$(mktemp)"
  (cd "$dir" && valgrind --tool=callgrind --callgrind-out-file=/dev/null "$bin" check --json \
    >/dev/null 2>"$log")
  local rc=$?
  local n
  n="$(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$log")"
  rm -f "$log"
  if [ $rc -le 1 ] && [ -n "$n" ]; then echo "$n"; else echo "failed"; fi
}
measure() { if [ $instructions -eq 1 ]; then count_instructions "$@"; else time_best "$@"; fi; }
ratio() {
  case "$1$2" in *'>'* | *failed*) echo "n/a"; return ;; esac
  awk -v a="$1" -v b="$2" 'BEGIN { if (a > 0) printf "%.2f", b / a; else print "n/a" }'
}

if [ $instructions -eq 1 ]; then
  command -v valgrind >/dev/null || die "-i needs valgrind"
  what_measured="instructions of one run (callgrind)"
else
  what_measured="shortest of $reps runs in seconds"
fi
echo "Crafted inputs, \`check --json\`, $what_measured, at $size and $double MiB; $(date -u +%Y-%m-%d), load $(cut -d' ' -f1-3 /proc/loadavg)."
for ((k = 0; k < ${#labels[@]}; k++)); do
  echo "- ${labels[$k]}: \`${paths[$k]}\`"
done
echo
header="| input | what it holds |"
rule="|---|---|"
for label in "${labels[@]}"; do
  header+=" $label, $size MiB | $label, $double MiB | ratio |"
  rule+="---:|---:|---:|"
done
echo "$header"
echo "$rule"
for name in "${inputs[@]}"; do
  say "timing $name"
  row="| \`$name\` | ${what[$name]} |"
  for ((k = 0; k < ${#paths[@]}; k++)); do
    a="$(measure "$small_tree/$name" "${paths[$k]}")"
    b="$(measure "$large_tree/$name" "${paths[$k]}")"
    row+=" $a | $b | $(ratio "$a" "$b") |"
  done
  echo "$row"
done
