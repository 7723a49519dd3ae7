#!/usr/bin/env bash
# Usage: root_paths.sh <host>
# The checkout is reachable inside a host root wherever it lies: from a checkout under
# /tmp (which a root's fresh /tmp could hide) and from one with a space in its path,
# `root.sh run <host> pwd` prints that checkout's path. The last line is
# "counts: <passed> <failed>".
set -uo pipefail

host="${1:?usage: root_paths.sh <host>}"
here="$(cd "$(dirname "$0")" && pwd)"
passed=0
failed=0

check() { # checkout folder to make
	local checkout="$1" seen
	mkdir -p "$checkout/scripts/hosts"
	cp "$here/../../scripts/hosts/root.sh" "$checkout/scripts/hosts/"
	seen=$(bash "$checkout/scripts/hosts/root.sh" run "$host" pwd 2>&1)
	if [ "$seen" = "$checkout" ]; then
		echo "ok: a checkout at '$checkout' is reached in the root of $host"
		passed=$((passed + 1))
	else
		echo "FAILED: a checkout at '$checkout' gave: $seen"
		failed=$((failed + 1))
	fi
	rm -rf "$checkout"
}

check "$(mktemp -d /tmp/curtainup-checkout.XXXXXX)"
check "$(mktemp -d "${TMPDIR:-/var/tmp}/curtainup checkout.XXXXXX")"
echo "counts: $passed $failed"
