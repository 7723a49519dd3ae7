# Build and test steps shared by scripts/test.sh and scripts/test-host.sh (sourced).
# Each step adds to `passed`, `failed` and `summary` of the sourcing script.

step() {
	echo
	echo "=== $*"
}

# The progress lines of a build are dropped; the status is cmake's own (grep's would hide
# a failure).
quiet_build() { # cmake --build arguments...
	local statuses
	cmake --build "$@" 2>&1 | grep -vE '^\[ *[0-9]+%\]|Automatic MOC|^-- '
	statuses=("${PIPESTATUS[@]}")
	return "${statuses[0]}"
}

# Configures with a preset of CMakePresets.json, in its own folder or in the one given.
configure() { # preset, log, [binary dir]
	cmake --preset "$1" ${3:+-B "$3"} >"$2" 2>&1 || { cat "$2"; return 1; }
}

# Adds one line "<name>: P of T passed" to the summary and the counts to the totals.
count() { # name, passed, total
	passed=$((passed + $2))
	failed=$((failed + $3 - $2))
	summary+=("$1: $2 of $3 passed")
}

# One failure in the summary, for a step that ran no tests: what failed, and where to look.
step_failed() { # name, what failed[, log]
	failed=$((failed + 1))
	summary+=("$1: $2 failed${3:+, see $3}")
}

# Runs ctest (with a test preset) and counts its tests from its own summary line. Tests
# run side by side on every core; the end-to-end ones run alone (RUN_SERIAL).
run_ctest() { # name, log, ctest options...
	local name="$1" log="$2"
	shift 2
	ctest --parallel "${CURTAINUP_JOBS:-$(nproc)}" "$@" 2>&1 | tee "$log"
	local total fails
	total=$(grep -oE 'tests failed out of [0-9]+' "$log" | grep -oE '[0-9]+$')
	fails=$(grep -oE '[0-9]+ tests failed out of' "$log" | grep -oE '^[0-9]+')
	if [ -z "$total" ]; then
		step_failed "$name" "running the tests" "$log"
		return
	fi
	count "$name" $((total - fails)) "$total"
}

# The machine's levels: one preset of CMakePresets.json configured, built and tested.
preset_level() { # preset
	local dir="$root/build-test/$1"
	mkdir -p "$dir"
	if configure "$1" "$dir.configure.log" && quiet_build --preset "$1"; then
		run_ctest "$1" "$dir.ctest.log" --preset "$1"
	else
		step_failed "$1" "build"
	fi
}
