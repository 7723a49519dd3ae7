#!/bin/bash
# Usage: in-private-network.sh COMMAND [ARGS...]
# Runs the command in a new network namespace with only loopback up, so servers it starts
# (obs-websocket listens on every interface) are reachable only from inside.
set -euo pipefail

if [ -z "${CURTAINUP_PRIVATE_NETWORK:-}" ]; then
	self="$(realpath "${BASH_SOURCE[0]}")"
	if unshare -n true 2>/dev/null; then
		exec env CURTAINUP_PRIVATE_NETWORK=1 unshare -n bash "$self" "$@"
	fi
	# Without root, a user namespace grants the right to make the network namespace.
	exec env CURTAINUP_PRIVATE_NETWORK=1 unshare -rn bash "$self" "$@"
fi
ip link set lo up
exec "$@"
