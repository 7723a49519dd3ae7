#!/usr/bin/env bash
# Usage: companion-check.sh <output folder>
# The Companion module (companion-module/) on this machine's Node: its npm packages from the
# lock file (npm ci, also for the end-to-end test in each host root), its unit tests,
# Companion's own module check, and its package, which lands in <output folder>/companion/.
# The last line is "counts: <passed> <failed>".
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:?usage: companion-check.sh <output folder>}"
module="$root/companion-module"
mkdir -p "$out/companion"
passed=0
failed=0

if ! (cd "$module" && npm ci --no-audit --no-fund) >"$out/companion/npm-ci.log" 2>&1; then
	echo "companion module: npm ci failed, see $out/companion/npm-ci.log"
	echo "counts: 0 1"
	exit 1
fi

report="$out/companion/vitest.json"
rm -f "$report"
(cd "$module" && npx vitest run --reporter=default --reporter=json --outputFile="$report")
if [ -f "$report" ]; then
	read -r ok total < <(node -p "const r = require('$report'); r.numPassedTests + ' ' + r.numTotalTests")
	passed=$((passed + ok))
	failed=$((failed + total - ok))
else
	echo "companion module: the unit tests wrote no report"
	failed=$((failed + 1))
fi

rm -f "$module"/*.tgz
if (cd "$module" && npx companion-module-check && npx companion-module-build) >"$out/companion/build.log" 2>&1 &&
	mv "$module"/*.tgz "$out/companion/"; then
	echo "companion module: $(cd "$out/companion" && ls ./*.tgz) checked and built"
	passed=$((passed + 1))
else
	echo "companion module: companion-module-check or -build failed, see $out/companion/build.log"
	failed=$((failed + 1))
fi
echo "counts: $passed $failed"
