# Build and test steps shared by scripts/test.sh and scripts/test-host.sh (sourced).
# Each run_ctest adds to `passed`, `failed` and `summary` of the sourcing script.

step() {
	echo
	echo "=== $*"
}

build() { # dir, cmake options...; builds every target, or only those named in $targets
	local dir="$1"
	shift
	mkdir -p "$(dirname "$dir")"
	cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DCURTAINUP_WERROR=ON "$@" >"$dir.configure.log" 2>&1 ||
		{ cat "$dir.configure.log"; return 1; }
	# The progress lines are dropped; the status is cmake's own (grep's would hide a failure).
	local statuses
	cmake --build "$dir" -j"$jobs" ${targets:+--target $targets} 2>&1 |
		grep -vE '^\[ *[0-9]+%\]|Automatic MOC|^-- '
	statuses=("${PIPESTATUS[@]}")
	return "${statuses[0]}"
}

# Adds one line "<name>: P of T passed" to the summary and the counts to the totals.
count() { # name, passed, total
	passed=$((passed + $2))
	failed=$((failed + $3 - $2))
	summary+=("$1: $2 of $3 passed")
}

build_failed() { # name
	failed=$((failed + 1))
	summary+=("$1: build failed")
}

run_ctest() { # name, dir, ctest options...
	local name="$1" dir="$2"
	shift 2
	local log="$dir.ctest.log"
	(cd "$dir" && ctest --output-on-failure "$@") 2>&1 | tee "$log"
	if ! grep -qE 'tests failed out of' "$log"; then
		echo "no tests ran in $dir" >&2
		build_failed "$name (no tests ran)"
		return
	fi
	local total fails
	total=$(grep -oE 'tests failed out of [0-9]+' "$log" | grep -oE '[0-9]+$')
	fails=$(grep -oE '[0-9]+ tests failed out of' "$log" | grep -oE '^[0-9]+')
	count "$name" $((total - fails)) "$total"
}

# Sanitizer settings reach the tests and the test discovery that runs during the build.
export_sanitizer_options() {
	export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
	export TSAN_OPTIONS="suppressions=$root/tests/sanitizers/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
	export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
}
