#!/usr/bin/env bash
# Times quorvane against ripgrep, grep, a walk+read floor and cat on one warm
# tree and prints a Markdown report (see bench/README.md for what each line means).
#
#   bench/run.sh [-r REPS] [-b QUORVANE] [-B BEFORE] [-m REQS] [-s SEED] [TREE]
#
#   TREE   a tree made by bench/generate.py or bench/realcode.py (default /tmp/quorvane-bench-small)
#   -r     repetitions of each command (default 5), after one warm-up pass
#   -b     quorvane binary (default $QUORVANE, else build/quorvane of this repo)
#   -B     a second quorvane binary (say, of the main branch), whose check --json runs side by side
#   -m     requirements of the manifest-only load test (default 50000; 0 skips it)
#   -s     seed for the manifest-only tree (default 1)
#
# Progress goes to standard error, the report to standard output.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/.." && pwd)"
reps=5
qv="${QUORVANE:-$repo/build/quorvane}"
manifest_reqs=50000
seed=1
before_qv=""

usage() { sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
while getopts "r:b:B:m:s:h" opt; do
  case "$opt" in
    r) reps="$OPTARG" ;;
    b) qv="$OPTARG" ;;
    B) before_qv="$OPTARG" ;;
    m) manifest_reqs="$OPTARG" ;;
    s) seed="$OPTARG" ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
tree="${1:-/tmp/quorvane-bench-small}"

say() { printf '%s\n' "$*" >&2; }
die() { say "run.sh: $*"; exit 2; }

[[ "$reps" =~ ^[1-9][0-9]*$ ]] || die "-r needs a positive number"
[[ "$manifest_reqs" =~ ^[0-9]+$ ]] || die "-m needs a number"
[ -f "$tree/quorvane.toml" ] || die "$tree holds no quorvane.toml; make one with bench/generate.py"
tree="$(cd "$tree" && pwd)"
case "$qv" in /*) ;; *) qv="$PWD/$qv" ;; esac
if [ -n "$before_qv" ]; then
  case "$before_qv" in /*) ;; *) before_qv="$PWD/$before_qv" ;; esac
  [ -x "$before_qv" ] || die "-B: no executable at $before_qv"
fi

# The files quorvane selects. Extensions are listed in lower case only:
# grep --include and find -name match case-sensitively while quorvane folds
# the case of extensions, so the comparison holds for trees whose selected
# files have lower-case extensions (the generator writes only those).
exts=(rs c h cc hh cpp cxx c++ hpp hxx h++ js ts jsx mjs cjs tsx mts cts py md markdown cmake yml yaml)
names=(CMakeLists.txt)
grep_includes=()
rg_globs=()
find_names=()
for e in "${exts[@]}"; do
  grep_includes+=("--include=*.$e")
  rg_globs+=(-g "*.$e")
  find_names+=(-o -name "*.$e")
done
for n in "${names[@]}"; do
  grep_includes+=("--include=$n")
  rg_globs+=(-g "$n")
  find_names+=(-o -name "$n")
done
find_names=("${find_names[@]:1}")
tag_pattern='\[[a-z][a-z0-9_-]*->REQ-[A-Z0-9-]+\]'

# --- tools: GNU time for peak memory, ripgrep, a C compiler for the floor ------
if [ "$(id -u)" -eq 0 ]; then sudo=(); elif command -v sudo >/dev/null; then sudo=(sudo); else sudo=(false); fi
apt_install() {
  "${sudo[@]}" apt-get install -y "$1" >&2 || { "${sudo[@]}" apt-get update >&2 && "${sudo[@]}" apt-get install -y "$1" >&2; }
}
gnu_time=/usr/bin/time
if [ ! -x "$gnu_time" ]; then
  say "installing the 'time' package for peak-memory figures"
  apt_install time
  [ -x "$gnu_time" ] || { say "no /usr/bin/time: peak memory is left out"; gnu_time=""; }
fi
rg_bin="$(command -v rg || true)"
if [ -z "$rg_bin" ]; then
  say "installing the 'ripgrep' package for the comparison"
  apt_install ripgrep
  rg_bin="$(command -v rg || true)"
  [ -n "$rg_bin" ] || say "no rg: ripgrep is left out"
fi
# The floor program, built fresh for the run.
floor_bin=""
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if command -v cc >/dev/null && cc -O2 -o "$work/floor" "$here/floor.c" 2>/dev/null; then
  floor_bin="$work/floor"
else
  say "cannot build bench/floor.c: the walk+read floor is left out"
fi

# peak resident set in KiB of one command run in the current directory
peak_kib() {
  [ -n "$gnu_time" ] || { echo ""; return; }
  local f
  f="$(mktemp)"
  "$gnu_time" -v -o "$f" "$@" >/dev/null 2>&1
  sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$f"
  rm -f "$f"
}

# --- the commands under test -----------------------------------------------
# Each runs in the current directory with its output discarded and fails
# (status 99) only when the command itself failed.
qv_check() { "$qv" check --json >/dev/null 2>&1; [ $? -le 1 ] || return 99; }
qv_list() { "$qv" list >/dev/null 2>&1 || return 99; }
qv_list_json() { "$qv" list --json >/dev/null 2>&1 || return 99; }
qv_before() { "$before_qv" check --json >/dev/null 2>&1; [ $? -le 1 ] || return 99; }
grep_tags() { LC_ALL=C grep -rn -E "$tag_pattern" "${grep_includes[@]}" . >/dev/null 2>&1; [ $? -le 1 ] || return 99; }
# ripgrep on one thread, over the same kinds of file, hidden and ignored files included as
# quorvane includes them.
rg_tags() { "$rg_bin" --no-config -j1 -n --hidden --no-ignore "${rg_globs[@]}" -e "$tag_pattern" . >/dev/null 2>&1; [ $? -le 1 ] || return 99; }
floor_read() { "$floor_bin" . >/dev/null 2>&1 || return 99; }
# The malloc settings let cat reuse one heap buffer instead of mapping (or
# growing the heap for) a fresh one per file and handing it back, which costs
# more than reading a small file and would make a floor of allocator work.
cat_floor() {
  find . -type f \( "${find_names[@]}" \) -print0 |
    MALLOC_MMAP_THRESHOLD_=8388608 MALLOC_TRIM_THRESHOLD_=67108864 xargs -0 cat >/dev/null || return 99
}

declare -A times=()
declare -A failed=()
# time_once NAME FUNCTION: appends the wall time in seconds to times[NAME]
time_once() {
  local t0 t1
  t0=$EPOCHREALTIME
  "$2"
  local rc=$?
  t1=$EPOCHREALTIME
  [ $rc -eq 0 ] || failed[$1]=1
  times[$1]+="$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", b - a }') "
}
median() { tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
minimum() { tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -g | head -1; }
fmt_s() { awk -v x="$1" 'BEGIN { printf "%.3f", x }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "n/a" }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f MiB", k / 1024 }'; }
mib_bytes() { awk -v b="$1" 'BEGIN { printf "%.1f MiB", b / 1048576 }'; }

# --- is there a quorvane to measure? -----------------------------------------
cd "$tree" || die "cannot enter $tree"
qv_ok=1
qv_reason=""
if [ ! -x "$qv" ]; then
  qv_ok=0
  qv_reason="no executable at $qv"
else
  probe="$("$qv" check --json 2>&1 >/dev/null)"
  rc=$?
  if [ $rc -gt 1 ]; then
    qv_ok=0
    qv_reason="\`quorvane check --json\` failed with status $rc: $(head -1 <<<"$probe")"
  fi
fi
[ $qv_ok -eq 1 ] || say "quorvane is not measured: $qv_reason"

# --- what the tree holds -------------------------------------------------------
read -r sel_files sel_bytes largest < <(find . -type f \( "${find_names[@]}" \) -printf '%s\n' |
  awk '{ n++; s += $1; if ($1 > m) m = $1 } END { printf "%d %d %d\n", n, s, m }')
all_files="$(find . -type f | wc -l)"

# --- warm-up, then the timed passes, side by side --------------------------------
commands=()
[ $qv_ok -eq 1 ] && commands=(check list)
[ -n "$before_qv" ] && commands+=(before)
[ -n "$rg_bin" ] && commands+=(rg)
commands+=(grep)
[ -n "$floor_bin" ] && commands+=(floor)
commands+=(cat)
declare -A fn=([check]=qv_check [list]=qv_list [before]=qv_before [rg]=rg_tags [grep]=grep_tags
  [floor]=floor_read [cat]=cat_floor)
# shellcheck disable=SC2016 # the backticks are Markdown
declare -A label=(
  [check]='`quorvane check --json`'
  [list]='`quorvane list`'
  [before]='`quorvane check --json`, the binary given with -B'
  [rg]='`rg -j1 -n` tag pattern over the selected kinds'
  [grep]='`grep -rn -E` tag pattern over the selected files'
  [floor]='walk+read floor (`bench/floor.c`)'
  [cat]='`cat` of the selected files (read floor)'
)
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
say "warm-up on $tree"
for c in "${commands[@]}"; do "${fn[$c]}"; done
times=()
for ((i = 1; i <= reps; i++)); do
  say "pass $i of $reps"
  for c in "${commands[@]}"; do time_once "$c" "${fn[$c]}"; done
done

# --- memory, report size and a check of what quorvane found ------------------------
base_rss=""
check_rss=""
list_rss=""
report_bytes=""
sanity=""
if [ $qv_ok -eq 1 ]; then
  base_rss="$(peak_kib "$qv" --version)"
  check_rss="$(peak_kib "$qv" check --json)"
  list_rss="$(peak_kib "$qv" list)"
  report="$(mktemp)"
  "$qv" check --json >"$report" 2>/dev/null
  report_bytes="$(stat -c %s "$report")"
  if [ -f .quorvane-bench ] && grep -q '"tags_declared"' .quorvane-bench && command -v python3 >/dev/null; then
    sanity="$(python3 - "$report" .quorvane-bench <<'EOF'
import json, sys
try:
    report = json.load(open(sys.argv[1], encoding="utf-8"))
    want = json.load(open(sys.argv[2], encoding="utf-8"))
    files = sum(1 for r in report["requirements"] for s in r["stages"].values()
                for e in s["evidence"] if "path" in e)
    codes = {}
    for f in report["findings"]:
        codes[f["code"]] = codes.get(f["code"], 0) + 1
    got = [files, codes.get("undeclared_id", 0), codes.get("parse_error", 0), codes.get("scan_error", 0)]
    exp = [want["tags_declared"], want["tags_undeclared"], want["parse_error_lines"], want["unreadable_files"]]
    names = ["file evidence", "undeclared_id", "parse_error", "scan_error"]
    text = ", ".join(f"{n} {g}" + ("" if g == e else f" (generator wrote {e})") for n, g, e in zip(names, got, exp))
    print(("matches the generator: " if got == exp else "MISMATCH: ") + text)
except Exception as err:
    print(f"could not read the report: {err}")
EOF
)"
  fi
  rm -f "$report"
fi

# --- the manifest alone ---------------------------------------------------------------
if [ $qv_ok -eq 1 ] && [ "$manifest_reqs" -gt 0 ]; then
  man_tree="/tmp/quorvane-bench-manifest-$manifest_reqs"
  say "writing a manifest of $manifest_reqs requirements to $man_tree"
  if python3 "$here/generate.py" --manifest-only --requirements "$manifest_reqs" --seed "$seed" --out "$man_tree" >&2; then
    cd "$man_tree" || die "cannot enter $man_tree"
    qv_list_json
    for ((i = 1; i <= reps; i++)); do time_once manifest qv_list_json; done
    man_rss="$(peak_kib "$qv" list --json)"
    man_bytes="$(stat -c %s quorvane.toml)"
    cd "$tree" || die "cannot enter $tree"
  else
    say "could not write the manifest-only tree"
  fi
fi

# --- the report --------------------------------------------------------------------------
echo "Tree \`$tree\`: $all_files files, $sel_files selected ($(mib_bytes "$sel_bytes"), largest $(mib_bytes "$largest")); $reps timed passes after one warm-up, $(date -u +%Y-%m-%d), $(nproc) CPUs, $(uname -sr), $(grep --version | head -1)."
if [ $qv_ok -eq 1 ]; then
  echo "quorvane: \`$qv\` ($("$qv" --version 2>/dev/null | head -1))."
  [ -n "$before_qv" ] && echo "-B: \`$before_qv\`."
  [ -n "$rg_bin" ] && echo "ripgrep: $("$rg_bin" --version | head -1); load before the passes: $load_before."
else
  echo "quorvane: not measured ($qv_reason)."
fi
echo
echo "| command | median (s) | min (s) | median ÷ \`quorvane check --json\` |"
echo "|---|---:|---:|---:|"
check_med=""
[ $qv_ok -eq 1 ] && check_med="$(median "${times[check]}")"
for c in "${commands[@]}"; do
  med="$(median "${times[$c]}")"
  r="n/a"
  [ -n "$check_med" ] && r="$(ratio "$med" "$check_med")"
  note=""
  [ -n "${failed[$c]:-}" ] && note=" (failed)"
  echo "| ${label[$c]}$note | $(fmt_s "$med") | $(fmt_s "$(minimum "${times[$c]}")") | $r |"
done
if [ $qv_ok -eq 0 ]; then
  echo "| \`quorvane check --json\` | n/a | n/a | n/a |"
  echo "| \`quorvane list\` | n/a | n/a | n/a |"
fi
if [ -n "${times[manifest]:-}" ]; then
  note=""
  [ -n "${failed[manifest]:-}" ] && note=" (failed)"
  echo "| \`quorvane list --json\`, $manifest_reqs requirements, \`scan.roots = []\`$note | $(fmt_s "$(median "${times[manifest]}")") | $(fmt_s "$(minimum "${times[manifest]}")") | |"
fi
echo
echo "| measure | value |"
echo "|---|---|"
if [ $qv_ok -eq 1 ] && [ -n "$check_rss" ]; then
  echo "| peak RSS \`quorvane check --json\` | $(mib "$check_rss") |"
  echo "| peak RSS \`quorvane list\` | $(mib "$list_rss") |"
  echo "| peak RSS \`quorvane --version\` (baseline) | $(mib "$base_rss") |"
  [ -n "${man_rss:-}" ] && echo "| peak RSS \`quorvane list --json\`, $manifest_reqs-requirement manifest ($(mib_bytes "$man_bytes")) | $(mib "$man_rss") |"
else
  echo "| peak RSS \`quorvane check --json\` | n/a |"
fi
echo "| largest selected file | $(mib_bytes "$largest") |"
[ -n "$report_bytes" ] && echo "| \`check --json\` report size | $(mib_bytes "$report_bytes") |"
[ -n "$sanity" ] && echo "| what quorvane found | $sanity |"

if [ $qv_ok -eq 1 ]; then
  grep_med="$(median "${times[grep]}")"
  cat_med="$(median "${times[cat]}")"
  verdict() { if awk "BEGIN { exit !($1) }"; then echo met; else echo "not met"; fi; }
  echo
  echo "| target | measured | |"
  echo "|---|---|---|"
  echo "| \`check --json\` faster than \`grep -rn\` | $(fmt_s "$check_med") s vs $(fmt_s "$grep_med") s | $(verdict "$check_med < $grep_med") |"
  if [ -n "$rg_bin" ]; then
    rg_med="$(median "${times[rg]}")"
    echo "| \`check --json\` no slower than \`rg -j1\` | $(fmt_s "$check_med") s vs $(fmt_s "$rg_med") s | $(verdict "$check_med <= $rg_med") |"
  fi
  if [ -n "$floor_bin" ]; then
    floor_med="$(median "${times[floor]}")"
    echo "| \`check --json\` within 1.4× of the walk+read floor | $(ratio "$check_med" "$floor_med")× | $(verdict "$check_med <= 1.4 * $floor_med") |"
  fi
  echo "| \`check --json\` within 2× of the read floor | $(ratio "$check_med" "$cat_med")× | $(verdict "$check_med <= 2 * $cat_med") |"
  if [ -n "$check_rss" ] && [ -n "$base_rss" ]; then
    over=$((check_rss - base_rss))
    echo "| peak memory above baseline under largest file + report | $(mib "$over") vs $(mib_bytes $((largest + report_bytes))) | $(verdict "$over * 1024 <= $largest + $report_bytes") |"
  fi
  if [ -n "${times[manifest]:-}" ]; then
    man_med="$(median "${times[manifest]}")"
    echo "| $manifest_reqs-requirement manifest well under a second | $(fmt_s "$man_med") s | $(verdict "$man_med < 0.5") |"
  fi
fi
