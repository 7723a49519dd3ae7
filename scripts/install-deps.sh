#!/usr/bin/env bash
# Installs what CurtainUp needs to build, test and run on Debian 12, 13 or testing. Safe to
# run again: it asks apt only when a package is missing.
set -euo pipefail

packages=(
	# build
	build-essential cmake pkg-config clang-format
	libobs-dev libgtest-dev libgmock-dev libbenchmark-dev
	# the Debian package: cpack finds its library dependencies with dpkg-shlibdeps and file
	dpkg-dev file
	# run and end-to-end tests: a real OBS under Xvfb, media made with ffmpeg, an RTMP server,
	# gdb for the backtrace of a crash at exit
	obs-studio xvfb xdotool x11-utils ffmpeg nginx libnginx-mod-rtmp python3 python3-websocket gdb
	iproute2 util-linux
	# fixed fonts and image formats for the picture tests
	fonts-dejavu-core fonts-freefont-ttf
	# Japanese texts (hold reasons, the ja-JP locale) in the dock and the countdown
	fonts-noto-cjk
	# the Companion module's end-to-end driver (its npm packages come from the machine)
	nodejs
	# the crew's page: its HTTP and WebSocket server and the QR codes of its links
	libwebsocketpp-dev libasio-dev libqrencode-dev
)
# The Qt the release's OBS is built with: Qt 5 for Debian 12's OBS 29, Qt 6 from OBS 30 on.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
if [ "$codename" = bookworm ]; then
	packages+=(qtbase5-dev qt5-image-formats-plugins)
else
	packages+=(qt6-base-dev qt6-image-formats-plugins)
fi
# The machine itself (not a host root) also builds the fuzz targets with clang, runs them on
# a display of xvfb-run's, and makes the host roots with debootstrap.
if [ -z "${CURTAINUP_HOST_INSIDE:-}" ]; then
	packages+=(clang libclang-rt-dev xauth debootstrap)
	# npm for the Companion module's packages; a Node that brings its own npm is kept.
	command -v npm >/dev/null || packages+=(npm)
else
	# The browser the crew page's end-to-end test drives, beside the host's OBS.
	packages+=(chromium chromium-driver python3-selenium)
fi

missing=()
for package in "${packages[@]}"; do
	dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
	echo "install-deps: all packages present"
	exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "install-deps: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
