#!/usr/bin/env bash
# Runs every test level on every supported OBS, from a bare Debian 12 machine:
#   - on each host (OBS 29.0.2 with Qt 5.15, OBS 30.2.3 with Qt 6.8, OBS 32.2.2 with Qt 6.11),
#     in a Debian root of its own (scripts/hosts/root.sh): the build with warnings as errors,
#     unit, widget, locale and end-to-end tests in that host's real OBS, and its package;
#   - on this machine: the unit and widget tests under AddressSanitizer and
#     UndefinedBehaviorSanitizer, the threaded ones under ThreadSanitizer, and the fuzz targets
#     (libFuzzer with clang).
# Each section ends with its own counts; the last line adds them all up.
# CURTAINUP_HOSTS="obs29 obs32" picks hosts; CURTAINUP_FUZZ_SECONDS sets the fuzzing time.
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-test"
jobs="${CURTAINUP_JOBS:-$(nproc)}"
read -r -a hosts <<<"${CURTAINUP_HOSTS:-obs29 obs30 obs32}"
fuzz_seconds="${CURTAINUP_FUZZ_SECONDS:-60}"
summary=()
passed=0
failed=0
# shellcheck source=scripts/lib/test_steps.sh
. "$root/scripts/lib/test_steps.sh"

began=$(date +%s)
"$root/scripts/install-deps.sh" || exit 1
mkdir -p "$out"
rm -f "$out"/*.prepare.rc

# The roots are made (or checked) in the background while this machine builds.
for host in "${hosts[@]}"; do
	(bash "$root/scripts/hosts/root.sh" prepare "$host" >"$out/$host.prepare.log" 2>&1
		echo $? >"$out/$host.prepare.rc") &
done

export_sanitizer_options
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

step "Unit and widget tests under AddressSanitizer and UndefinedBehaviorSanitizer"
if build "$out/asan" "-DCURTAINUP_SANITIZE=address;undefined" -DCURTAINUP_E2E=OFF; then
	ASAN_OPTIONS=detect_leaks=1 run_ctest "asan+ubsan" "$out/asan" -L "unit|widget"
else
	build_failed "asan+ubsan"
fi

step "Threaded tests under ThreadSanitizer"
# Only the programs that hold threaded tests.
if targets="show_state_tests source_worker_tests module_core_tests" build "$out/tsan" \
	-DCURTAINUP_SANITIZE=thread -DCURTAINUP_E2E=OFF; then
	run_ctest "tsan" "$out/tsan" -R Threads
else
	build_failed "tsan"
fi

step "Fuzz targets: the committed corpus, then ${fuzz_seconds} s of fuzzing each"
if CC=clang CXX=clang++ targets="config_fuzzer procedures_fuzzer" build "$out/fuzz" -DCURTAINUP_FUZZ=ON \
	-DCURTAINUP_E2E=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
	bash "$root/tests/fuzz/run_fuzz.sh" "$out/fuzz" "$fuzz_seconds" 2>&1 | tee "$out/fuzz.log"
	fuzz_counts=$(grep -oE '^fuzz: [0-9]+ of [0-9]+' "$out/fuzz.log" | tail -n 1)
	if [ -n "$fuzz_counts" ]; then
		read -r _ fuzz_passed _ fuzz_total <<<"$fuzz_counts"
		count "fuzz" "$fuzz_passed" "$fuzz_total"
	else
		build_failed "fuzz (no result)"
	fi
else
	build_failed "fuzz"
fi

# One host's section runs in its root; its last line carries its counts.
run_host() { # host
	local host="$1" log="$out/$1.log" began_host
	wait_for_root "$host" || { build_failed "$host (root)"; return; }
	began_host=$(date +%s)
	bash "$root/scripts/hosts/root.sh" run "$host" bash scripts/test-host.sh "$host" 2>&1 | tee "$log"
	local counts
	counts=$(grep -E '^counts: [0-9]+ [0-9]+$' "$log" | tail -n 1)
	if [ -z "$counts" ]; then
		build_failed "$host (no counts)"
		return
	fi
	read -r _ host_passed host_failed <<<"$counts"
	count "$host ($(( ($(date +%s) - began_host + 30) / 60 )) min)" "$host_passed" $((host_passed + host_failed))
}

wait_for_root() { # host
	while [ ! -f "$out/$1.prepare.rc" ]; do sleep 2; done
	[ "$(cat "$out/$1.prepare.rc")" = 0 ] && return 0
	cat "$out/$1.prepare.log" >&2
	return 1
}

for host in "${hosts[@]}"; do
	run_host "$host"
done
wait

echo
echo "=== Summary ($(( ($(date +%s) - began) / 60 )) min)"
printf '%s\n' "${summary[@]}"
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
