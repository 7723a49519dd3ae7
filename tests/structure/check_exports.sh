#!/usr/bin/env bash
# Usage: check_exports.sh <module.so>
# obs-websocket carries its own websocketpp and Asio in the same process: the module must
# neither export a symbol of either nor need one from outside, or one module's code would
# bind to the other's.
set -euo pipefail
shared=$(nm -D "$1" | c++filt | grep -E 'websocketpp::|asio::' || true)
if [ -n "$shared" ]; then
	echo "$1 shares symbols of websocketpp or Asio with the process:"
	echo "$shared" | head -n 20
	exit 1
fi
echo "no websocketpp or Asio symbol is exported or imported"
