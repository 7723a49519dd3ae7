#!/usr/bin/env bash
# Replays the committed corpus through each fuzz program, then fuzzes each for the given
# number of seconds. Exits non-zero when any program crashed, leaked, hung or failed its
# own checks; the input that did it is left in <build_dir>/fuzz-artifacts. The last line
# reads "fuzz: <passed> of <total> targets passed".
#
#   tests/fuzz/run_fuzz.sh <build_dir> <seconds_per_target>
#
# The build dir is one configured with CC=clang CXX=clang++ -DCURTAINUP_FUZZ=ON and built
# with the targets config_fuzzer and procedures_fuzzer.
set -uo pipefail

if [[ $# -ne 2 ]]; then
	echo "usage: $0 <build_dir> <seconds_per_target>" >&2
	exit 2
fi
build_dir=$(cd "$1" && pwd)
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
artifacts="$build_dir/fuzz-artifacts"
mkdir -p "$artifacts"

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

failed=0
targets=0

# fuzz_target <program> <seed corpus> [extra libFuzzer options...]
fuzz_target() {
	local name=$1 seeds=$2
	shift 2
	targets=$((targets + 1))
	local program="$build_dir/tests/fuzz/$name"
	local corpus="$build_dir/fuzz-corpus/$name"
	mkdir -p "$corpus"
	if [[ ! -x "$program" ]]; then
		echo "[$name] missing: build the target $name in $build_dir" >&2
		failed=$((failed + 1))
		return
	fi

	echo "[$name] replaying $(ls "$seeds" | wc -l) committed inputs"
	if ! "${display_wrapper[@]}" "$program" "$seeds"/* > "$artifacts/$name-replay.log" 2>&1; then
		echo "[$name] FAILED on the committed corpus; see $artifacts/$name-replay.log" >&2
		tail -n 40 "$artifacts/$name-replay.log" >&2
		failed=$((failed + 1))
		return
	fi

	echo "[$name] fuzzing for $seconds s"
	if ! "${display_wrapper[@]}" "$program" "$corpus" "$seeds" -max_total_time="$seconds" -timeout=10 \
		-rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/$name-" "$@" \
		> "$artifacts/$name-fuzz.log" 2>&1; then
		echo "[$name] FAILED while fuzzing; see $artifacts/$name-fuzz.log" >&2
		tail -n 60 "$artifacts/$name-fuzz.log" >&2
		failed=$((failed + 1))
		return
	fi
	grep -E "^Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::new_units_added" \
		"$artifacts/$name-fuzz.log" | sed "s/^/[$name] /"
}

fuzz_target config_fuzzer "$here/corpus/config" -dict="$here/config.dict"
fuzz_target procedures_fuzzer "$here/corpus/procedures"

echo "fuzz: $((targets - failed)) of $targets targets passed"
[[ $failed -eq 0 ]]
