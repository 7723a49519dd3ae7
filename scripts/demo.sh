#!/usr/bin/env bash
# Builds CurtainUp, installs it into your OBS and starts OBS with a small demo show.
# Without a display, OBS runs under Xvfb and screenshots go to artifacts/demo/.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-demo"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCURTAINUP_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
cmake --build "$build" --target install-user

if [ -n "${DISPLAY:-}" ]; then
	python3 "$root/scripts/demo/prepare_user.py"
	echo "demo: starting OBS with the scene collection 'CurtainUp Demo'; the CurtainUp dock runs the show"
	exec obs --collection "CurtainUp Demo"
fi
echo "demo: no display; running the demo show under Xvfb (about a minute)"
exec bash "$root/scripts/in-private-network.sh" \
	/usr/bin/python3 "$root/scripts/demo/run_headless.py" "$build" "$root/artifacts/demo"
