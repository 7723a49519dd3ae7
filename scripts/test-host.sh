#!/usr/bin/env bash
# Usage: test-host.sh <name>
# Every test level against the OBS installed on this machine (or in this root): the
# "default" preset of CMakePresets.json (warnings as errors, benchmarks) built into
# build-test/<name>, then its unit, widget, locale, floors, module and end-to-end tests in
# that real OBS. The last line is "counts: <passed> <failed>"; a build that fails ends the
# run with status 13 instead.
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
name="${1:?usage: test-host.sh <name>}"
out="${CURTAINUP_TEST_OUT:-$root/build-test}/$name"
export CMAKE_BUILD_PARALLEL_LEVEL="${CURTAINUP_JOBS:-$(nproc)}"
summary=()
passed=0
failed=0
# shellcheck source=scripts/lib/test_steps.sh
. "$root/scripts/lib/test_steps.sh"

# 11: the packages step failed (see scripts/hosts/root.sh).
"$root/scripts/install-deps.sh" || { echo "test-host.sh: step failed: packages" >&2; exit 11; }
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

obs_version=$(obs --version 2>/dev/null | grep -oE '[0-9]+\.[0-9]+\.[0-9]+' | head -n 1)
step "$name: OBS ${obs_version:-?}, build and every test level"
mkdir -p "$out"
configure default "$out.configure.log" "$out" && quiet_build "$out" || { echo "$name: build failed"; exit 13; }
# The default test preset's options on this host's own build folder (ctest would take the
# preset's own folder over --test-dir where that one exists).
run_ctest "$name" "$out.ctest.log" --test-dir "$out" --output-on-failure --no-tests=error
printf '%s\n' "${summary[@]}"
echo "counts: $passed $failed"
