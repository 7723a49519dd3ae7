#!/bin/bash
# Usage: run_e2e.sh <build_dir> <artifacts_dir> [test names...]
# Runs the end-to-end suite (OBS under Xvfb) inside a private network namespace, so the
# obs-websocket server, which listens on every interface, is reachable only from here.
# The exit code is the number of failed tests.
set -euo pipefail

if [ $# -lt 2 ]; then
	echo "usage: $0 <build_dir> <artifacts_dir> [test names...]" >&2
	exit 2
fi
build_dir=$(realpath "$1")
artifacts_dir=$(realpath -m "$2")
shift 2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ -z "${CURTAINUP_PRIVATE_NETWORK:-}" ]; then
	exec bash "$here/../../scripts/in-private-network.sh" bash "$here/run_e2e.sh" "$build_dir" "$artifacts_dir" "$@"
fi

mkdir -p "$artifacts_dir"
export BUILD_DIR="$build_dir" ARTIFACTS_DIR="$artifacts_dir"
# The module's facts (version, build tag) are written into the build by CMake.
export PYTHONPATH="$here/lib:$build_dir${PYTHONPATH:+:$PYTHONPATH}"
export PYTHONDONTWRITEBYTECODE=1
# Debian's interpreter: the first python3 on PATH may lack Debian's websocket module.
exec /usr/bin/python3 "$here/lib/run_suite.py" "$@"
