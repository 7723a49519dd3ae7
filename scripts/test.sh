#!/usr/bin/env bash
# Runs every test level on a fresh Debian 12 machine: installs the packages, builds the
# plug-in and its tests, runs unit, widget and end-to-end tests, then the unit tests again
# under AddressSanitizer+UndefinedBehaviorSanitizer and the threaded ones under
# ThreadSanitizer, and builds and runs the unit and widget tests with Qt 6 as well.
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
out="${CURTAINUP_TEST_OUT:-$root/build-test}"
jobs="${CURTAINUP_JOBS:-$(nproc)}"
summary=()
passed=0
failed=0

"$root/scripts/install-deps.sh" || exit 1

step() { echo; echo "=== $*"; }

build() { # dir, cmake options...
	local dir="$1"
	shift
	cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DCURTAINUP_WERROR=ON "$@" >"$dir.configure.log" 2>&1 ||
		{ cat "$dir.configure.log"; return 1; }
	cmake --build "$dir" -j"$jobs" 2>&1 | grep -vE '^\[ *[0-9]+%\]|Automatic MOC|^-- ' || true
	return "${PIPESTATUS[0]}"
}

run_ctest() { # name, dir, ctest options...
	local name="$1" dir="$2"
	shift 2
	local log="$dir.ctest.log"
	(cd "$dir" && ctest --output-on-failure "$@") 2>&1 | tee "$log"
	local total=0 fails=1
	if grep -qE 'tests failed out of' "$log"; then
		total=$(grep -oE 'tests failed out of [0-9]+' "$log" | grep -oE '[0-9]+$')
		fails=$(grep -oE '[0-9]+ tests failed out of' "$log" | grep -oE '^[0-9]+')
	else
		echo "no tests ran in $dir" >&2
	fi
	[ "$total" -ge "$fails" ] && passed=$((passed + total - fails))
	failed=$((failed + fails))
	summary+=("$name: $((total - fails > 0 ? total - fails : 0)) of $total passed")
}

mkdir -p "$out"
# Sanitizer settings reach the tests and the test discovery that runs during the build.
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
export TSAN_OPTIONS="suppressions=$root/tests/sanitizers/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

step "Build (Qt of the installed OBS, warnings are errors)"
if build "$out/main" -DCURTAINUP_BUILD_BENCHMARKS=ON; then
	step "Unit, widget and end-to-end tests"
	run_ctest "main" "$out/main"
else
	failed=$((failed + 1))
	summary+=("main: build failed")
fi

step "Unit and widget tests under AddressSanitizer and UndefinedBehaviorSanitizer"
if build "$out/asan" "-DCURTAINUP_SANITIZE=address;undefined" -DCURTAINUP_E2E=OFF; then
	ASAN_OPTIONS=detect_leaks=1 run_ctest "asan+ubsan" "$out/asan" -L "unit|widget"
else
	failed=$((failed + 1))
	summary+=("asan+ubsan: build failed")
fi

step "Threaded tests under ThreadSanitizer"
if build "$out/tsan" -DCURTAINUP_SANITIZE=thread -DCURTAINUP_E2E=OFF; then
	run_ctest "tsan" "$out/tsan" -R Threads
else
	failed=$((failed + 1))
	summary+=("tsan: build failed")
fi

step "Build, unit and widget tests with Qt 6"
if build "$out/qt6" -DCURTAINUP_QT_VERSION=6 -DCURTAINUP_E2E=OFF; then
	run_ctest "qt6" "$out/qt6" -L "unit|widget"
else
	failed=$((failed + 1))
	summary+=("qt6: build failed")
fi

echo
echo "=== Summary"
printf '%s\n' "${summary[@]}"
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
