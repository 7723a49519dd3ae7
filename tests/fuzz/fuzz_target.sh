#!/usr/bin/env bash
# One fuzz program as a CTest test: replays its committed corpus, then fuzzes it for
# $CURTAINUP_FUZZ_SECONDS seconds (40 unless set). Fails when the program crashed, leaked,
# hung or failed its own checks; the input that did it is left in <artifacts>.
#
#   tests/fuzz/fuzz_target.sh <program> <seed corpus> <artifacts> [extra libFuzzer options...]
set -uo pipefail

if [[ $# -lt 3 ]]; then
	echo "usage: $0 <program> <seed corpus> <artifacts> [libFuzzer options...]" >&2
	exit 2
fi
program=$1 seeds=$2 artifacts=$3
shift 3
name=$(basename "$program")
seconds="${CURTAINUP_FUZZ_SECONDS:-40}"
here=$(cd "$(dirname "$0")" && pwd)
corpus="$artifacts/corpus"
mkdir -p "$corpus"

# A smaller quarantine and shorter allocation stacks: fresh pages for every block were
# most of the time spent per input.
export ASAN_OPTIONS="detect_leaks=1:quarantine_size_mb=64:malloc_context_size=10:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$here/../sanitizers/lsan.supp:${LSAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"

# libobs's hotkeys need an X display for the procedures program.
display_wrapper=()
if [[ -z "${DISPLAY:-}" ]]; then
	display_wrapper=(xvfb-run -a)
fi

echo "[$name] replaying $(ls "$seeds" | wc -l) committed inputs"
if ! "${display_wrapper[@]}" "$program" "$seeds"/* >"$artifacts/replay.log" 2>&1; then
	echo "[$name] FAILED on the committed corpus; see $artifacts/replay.log" >&2
	tail -n 40 "$artifacts/replay.log" >&2
	exit 1
fi

echo "[$name] fuzzing for $seconds s"
if ! "${display_wrapper[@]}" "$program" "$corpus" "$seeds" -max_total_time="$seconds" -timeout=10 \
	-rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" "$@" \
	>"$artifacts/fuzz.log" 2>&1; then
	echo "[$name] FAILED while fuzzing; see $artifacts/fuzz.log" >&2
	tail -n 60 "$artifacts/fuzz.log" >&2
	exit 1
fi
grep -E "^Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::new_units_added" \
	"$artifacts/fuzz.log" | sed "s/^/[$name] /"
