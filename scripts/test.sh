#!/usr/bin/env bash
# Runs every test level on every supported OBS, from a bare Debian 12 machine:
#   - on this machine, with the presets of CMakePresets.json: the unit and widget tests
#     under AddressSanitizer and UndefinedBehaviorSanitizer ("asan-ubsan"), the threaded
#     ones under ThreadSanitizer ("tsan") and the fuzz targets ("fuzz", libFuzzer with clang);
#   - on each host (OBS 29.0.2 with Qt 5.15, OBS 30.2.3 with Qt 6.8, OBS 32.2.2 with Qt 6.11),
#     in a Debian root of its own (scripts/hosts/root.sh): scripts/test-host.sh, the
#     "default" preset with every level, the end-to-end tests in that host's real OBS and
#     its package included;
#   - the Companion module (scripts/companion-check.sh) on this machine's Node, whose npm
#     packages the hosts' end-to-end test of the module uses.
# Each section ends with its own counts; the last line adds them all up. A host whose root,
# packages or checkout failed says which, and where its log is.
# CURTAINUP_HOSTS="obs29 obs32" picks hosts; CURTAINUP_FUZZ_SECONDS sets the fuzzing time.
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-test"
export CMAKE_BUILD_PARALLEL_LEVEL="${CURTAINUP_JOBS:-$(nproc)}"
export CURTAINUP_FUZZ_SECONDS="${CURTAINUP_FUZZ_SECONDS:-40}"
read -r -a hosts <<<"${CURTAINUP_HOSTS:-obs29 obs30 obs32}"
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

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

step "Unit and widget tests under AddressSanitizer and UndefinedBehaviorSanitizer"
preset_level asan-ubsan
step "Threaded tests under ThreadSanitizer"
preset_level tsan
step "Fuzz targets: the committed corpus, then ${CURTAINUP_FUZZ_SECONDS} s of fuzzing each"
preset_level fuzz

# What failed in a host's steps before its tests (the statuses of scripts/hosts/root.sh,
# and 13 from scripts/test-host.sh).
host_step() { # status
	case "$1" in
	10) echo "making the root" ;;
	11) echo "installing the packages" ;;
	12) echo "entering the checkout" ;;
	13) echo "build" ;;
	*) echo "the run (status $1)" ;;
	esac
}

# The status of a host's root once it is prepared: 0 when it is ready.
root_status() { # host
	while [ ! -f "$out/$1.prepare.rc" ]; do sleep 2; done
	cat "$out/$1.prepare.rc"
}

# Runs a command on the machine or in a host's root; its last line "counts: P F" goes into
# the summary, and a failed step before that (root, packages, checkout) is named.
count_lines() { # name, log, command...
	local name="$1" log="$2" status counts
	shift 2
	"$@" 2>&1 | tee "$log"
	status=${PIPESTATUS[0]}
	counts=$(grep -E '^counts: [0-9]+ [0-9]+$' "$log" | tail -n 1)
	if [ -z "$counts" ]; then
		step_failed "$name" "$(host_step "$status")" "$log"
		return
	fi
	read -r _ lines_passed lines_failed <<<"$counts"
	count "$name" "$lines_passed" $((lines_passed + lines_failed))
}

step "The Companion module: its npm packages, unit tests, module check and package"
count_lines "companion module" "$out/companion-check.log" bash "$root/scripts/companion-check.sh" "$out"

step "The checkout in a host root, from /tmp and from a path with a space"
if [ "$(root_status "${hosts[0]}")" = 0 ]; then
	count_lines "checkout paths" "$out/root-paths.log" bash "$root/tests/scripts/root_paths.sh" "${hosts[0]}"
else
	echo "skipped: the root of ${hosts[0]} is not ready (see below)"
fi

for host in "${hosts[@]}"; do
	status=$(root_status "$host")
	if [ "$status" != 0 ]; then
		tail -n 20 "$out/$host.prepare.log" >&2
		step_failed "$host" "$(host_step "$status")" "$out/$host.prepare.log"
		continue
	fi
	began_host=$(date +%s)
	count_lines "$host" "$out/$host.log" bash "$root/scripts/hosts/root.sh" run "$host" bash scripts/test-host.sh "$host"
	summary[-1]="${summary[-1]} ($(( ($(date +%s) - began_host + 30) / 60 )) min)"
done
wait

echo
echo "=== Summary ($(( ($(date +%s) - began) / 60 )) min)"
printf '%s\n' "${summary[@]}"
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
