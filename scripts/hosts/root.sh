#!/usr/bin/env bash
# Usage: root.sh prepare <host>
#        root.sh run <host> <command> [args...]
#        root.sh path <host>
# A Debian root per OBS host, kept in a cache folder outside the checkout
# ($CURTAINUP_HOST_CACHE, default /var/cache/curtainup-hosts), so a second run reuses it.
#   obs29: Debian 12 "bookworm" (OBS 29.0.2, Qt 5.15)
#   obs30: Debian 13 "trixie" (OBS 30.2.3, Qt 6.8)
#   obs32: Debian testing "forky" (OBS 32.2.2, Qt 6.11)
# `run` works in a mount namespace of its own: /proc, /sys, /dev, a fresh /tmp and the
# checkout are mounted for the command and vanish with it, so nothing stays mounted inside
# a root and concurrent runs in one root do not disturb each other. The checkout is bound
# at its own path, wherever it lies (under /tmp, or with spaces in its path).
#
# A step that fails before any build says so and exits with its own status, which
# scripts/test.sh names in its summary:
#   10  the root could not be made (debootstrap)
#   11  the root's packages could not be installed
#   12  the checkout is not reachable inside the root
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
checkout="$(cd "$here/../.." && pwd)"
cache="${CURTAINUP_HOST_CACHE:-/var/cache/curtainup-hosts}"

suite_of() {
	case "$1" in
	obs29) echo bookworm ;;
	obs30) echo trixie ;;
	obs32) echo forky ;;
	*)
		echo "root.sh: unknown host '$1' (obs29, obs30 or obs32)" >&2
		return 1
		;;
	esac
}

as_root() {
	if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The mirror this machine's apt already uses; the roots are made from it and from nothing else.
mirror() {
	local uri
	uri=$(grep -hoE '^URIs: *\S+' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n 1 | awk '{print $2}')
	[ -n "$uri" ] || uri=$(grep -hoE '^deb +(\[[^]]*\] +)?\S+' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
		2>/dev/null | head -n 1 | awk '{print $NF}')
	if [ -z "$uri" ]; then
		echo "root.sh: apt's sources name no Debian mirror (/etc/apt/sources.list.d/*.sources," \
			"/etc/apt/sources.list); add one, e.g. with apt-add-repository or by hand" >&2
		return 1
	fi
	echo "$uri"
}

# Makes the base system once; a half-made root (an interrupted run) is made again.
make_base() {
	local host="$1" suite dir
	suite=$(suite_of "$host")
	dir="$cache/$host"
	[ -f "$dir/.curtainup-base" ] && return 0
	command -v debootstrap >/dev/null || as_root apt-get install -y -qq debootstrap >/dev/null
	as_root mkdir -p "$cache"
	as_root rm -rf --one-file-system "$dir.tmp"
	local from
	from=$(mirror) || return 1
	echo "root.sh: making the $suite root for $host in $dir from $from"
	# Debian 12's debootstrap has no script named after testing; sid's fits every suite.
	as_root debootstrap --variant=minbase --include=ca-certificates "$suite" "$dir.tmp" "$from" \
		/usr/share/debootstrap/scripts/sid >"$cache/$host.debootstrap.log" 2>&1 ||
		{ tail -n 20 "$cache/$host.debootstrap.log" >&2; return 1; }
	# Testing's Release file may be past its Valid-Until date.
	echo 'Acquire::Check-Valid-Until "false";' | as_root tee "$dir.tmp/etc/apt/apt.conf.d/99curtainup-valid-until" >/dev/null
	echo 'APT::Install-Recommends "false";' | as_root tee "$dir.tmp/etc/apt/apt.conf.d/99curtainup-no-recommends" >/dev/null
	as_root touch "$dir.tmp/.curtainup-base"
	as_root mv "$dir.tmp" "$dir"
}

run_in_root() {
	local host="$1" dir
	shift
	dir="$cache/$host"
	[ -f "$dir/.curtainup-base" ] || { echo "root.sh: no root for $host; run 'root.sh prepare $host'" >&2; return 10; }
	as_root cp /etc/resolv.conf "$dir/etc/resolv.conf"
	# Debian 12's debootstrap leaves no /etc/hosts, and without it "localhost" does not
	# resolve in OBS's private network (chromedriver is reached by that name).
	[ -e "$dir/etc/hosts" ] || printf '127.0.0.1\tlocalhost\n::1\t\tlocalhost ip6-localhost ip6-loopback\n' |
		as_root tee "$dir/etc/hosts" >/dev/null
	# The fresh /tmp comes first and the checkout's mount point is made after it, so a
	# checkout under /tmp is not hidden by it.
	local status=0
	# shellcheck disable=SC2016
	as_root unshare --mount --propagation private bash -c '
		set -e
		dir="$1" checkout="$2"
		shift 2
		mount -t proc proc "$dir/proc"
		mount -t sysfs sysfs "$dir/sys"
		mount --rbind /dev "$dir/dev"
		mount -t tmpfs tmpfs "$dir/tmp"
		mkdir -p "$dir$checkout"
		mount --bind "$checkout" "$dir$checkout"
		exec chroot "$dir" env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
			LANG=C.UTF-8 TERM="${TERM:-dumb}" CI="${CI:-}" CURTAINUP_JOBS="${CURTAINUP_JOBS:-}" \
			CURTAINUP_HOST_INSIDE=1 bash -c "cd \"\$0\" || exit 12; exec \"\$@\"" "$checkout" "$@"
	' bash "$dir" "$checkout" "$@" || status=$?
	[ "$status" -ne 12 ] || echo "root.sh: the checkout $checkout is not reachable inside the root of $host" >&2
	return "$status"
}

case "${1:-}" in
prepare)
	make_base "$2" || { echo "root.sh: step failed: the root of $2" >&2; exit 10; }
	# The project's own installer picks the packages of that root's release.
	run_in_root "$2" bash scripts/install-deps.sh || {
		status=$?
		[ "$status" -eq 12 ] && exit 12
		echo "root.sh: step failed: the packages of $2" >&2
		exit 11
	}
	;;
run)
	host="$2"
	shift 2
	run_in_root "$host" "$@"
	;;
path)
	echo "$cache/$2"
	;;
*)
	echo "usage: $0 prepare <host> | run <host> <command...> | path <host>" >&2
	exit 2
	;;
esac
