#!/usr/bin/env bash
# Installs what CurtainUp needs to build, test and run on Debian 12. Safe to run again:
# it asks apt only when a package is missing.
set -euo pipefail

packages=(
	# build
	build-essential cmake pkg-config clang-format
	libobs-dev qtbase5-dev qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
	# run and end-to-end tests: a real OBS under Xvfb, media made with ffmpeg, an RTMP server
	obs-studio xvfb xdotool x11-utils ffmpeg nginx libnginx-mod-rtmp python3 python3-websocket
	iproute2 util-linux
	# fixed fonts and image formats for the picture tests
	fonts-dejavu-core qt5-image-formats-plugins qt6-image-formats-plugins
	# Japanese texts (hold reasons, the ja-JP locale) in the dock and the countdown
	fonts-noto-cjk
)

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
