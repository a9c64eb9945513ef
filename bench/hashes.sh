#!/usr/bin/env bash
# Prints a SHA-256 (first 16 hex digits) of the output, standard error included, and the exit
# status of a fixed set of quorvane commands on each tree, one line per command, so that two
# builds can be shown to print the same bytes: run it with each and compare the two listings.
#
#   bench/hashes.sh QUORVANE TREE...
#
# The commands: check --json, check, list, list --json, list --missing impl, trace ID,
# trace ID --json, review, review --json, lint --json, where ID is the first requirement of
# the tree's manifest.
set -uo pipefail
[ $# -ge 2 ] || { sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
bin="$1"
shift
case "$bin" in /*) ;; *) bin="$PWD/$bin" ;; esac
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
for tree in "$@"; do
  (
    cd "$tree" || exit 2
    id="$(sed -n 's/^id = "\(.*\)"$/\1/p' quorvane.toml | head -1)"
    for cmd in "check --json" "check" "list" "list --json" "list --missing impl" "trace $id" \
      "trace $id --json" "review" "review --json" "lint --json"; do
      # shellcheck disable=SC2086 # the command's words are meant to split
      "$bin" $cmd >"$out" 2>&1
      status=$?
      printf '%s\t%s\t%s\t%s\n' "$(basename "$tree")" "$cmd" "$(sha256sum <"$out" | cut -c1-16)" "$status"
    done
  )
done
