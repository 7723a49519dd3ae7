#!/usr/bin/env bash
# Usage: test-host.sh <name>
# Every test level against the OBS installed on this machine (or in this root): builds the
# plug-in, its tests and benchmarks with warnings as errors, then runs the unit, widget,
# locale and end-to-end tests in that real OBS. The last line is "counts: <passed> <failed>".
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
name="${1:?usage: test-host.sh <name>}"
out="${CURTAINUP_TEST_OUT:-$root/build-test}/$name"
jobs="${CURTAINUP_JOBS:-$(nproc)}"
summary=()
passed=0
failed=0
# shellcheck source=scripts/lib/test_steps.sh
. "$root/scripts/lib/test_steps.sh"

"$root/scripts/install-deps.sh" || exit 1
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

obs_version=$(obs --version 2>/dev/null | grep -oE '[0-9]+\.[0-9]+\.[0-9]+' | head -n 1)
step "$name: OBS ${obs_version:-?}, build and every test level"
if build "$out" -DCURTAINUP_BUILD_BENCHMARKS=ON; then
	run_ctest "$name" "$out"
else
	build_failed "$name"
fi
printf '%s\n' "${summary[@]}"
echo "counts: $passed $failed"
