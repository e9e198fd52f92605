# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT
#
# Sourced by the CI scripts.

# The checkout, wherever a script has gone since.
checkout_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# A command that ends a script by failing, where the script says nothing of
# it itself, is named: errexit alone would end the script in silence. The
# trap holds in functions and subshells too (errtrace), and speaks only where
# errexit is on: a failure that a command substitution or a set +e stretch
# hands back to be judged is not one.
set -o errtrace
trap 'err_status=$?
	[[ $- != *e* ]] || echo "FAILED: ${0##*/}, line $LINENO: $BASH_COMMAND (status $err_status)" >&2' ERR

fail() {
	echo "FAILED: $*" >&2
	exit 1
}

# The package $1 is installed: dpkg also knows a package that was removed but
# not purged ("rc"), which installs nothing.
installed() {
	[[ $(dpkg-query -W -f '${db:Status-Abbrev}' "$1" 2>/dev/null) == "ii " ]]
}

# apt-get, patient with a mirror mid-sync, as every apt-get of CI is.
patient_apt() { "$checkout_root/cmake/patient-apt" "$@"; }

# Installs Debian packages without what they merely recommend, and updates
# apt's lists only when they are too old or missing for the install. Unpacked
# without a sync after each file: a machine that fails mid-install is thrown
# away, not repaired, and the syncs cost minutes over a thousand packages.
apt_install() {
	local apt=(install -y -q --no-install-recommends -o Dpkg::Options::=--force-unsafe-io)
	DEBIAN_FRONTEND=noninteractive patient_apt "${apt[@]}" "$@" ||
		{ patient_apt update -q && DEBIAN_FRONTEND=noninteractive patient_apt "${apt[@]}" "$@"; }
}

# The README's one install command for a fresh machine, without its sudo:
# what a fresh root starts from.
readme_install() {
	local line
	line=$(grep -E '^sudo apt-get install --no-install-recommends [a-z0-9 +.-]+$' "$checkout_root/README.md") ||
		fail "README.md has no 'sudo apt-get install --no-install-recommends' line for a fresh machine"
	[[ $(wc -l <<<"$line") == 1 ]] || fail "README.md has more than one install line for a fresh machine: $line"
	echo "${line#sudo }"
}

# The program at $1 answers the README's first conversion, and says it
# succeeded; under emulation where it is another machine's.
converts() {
	local answer
	answer=$("$@" -f 100) || fail "$* -f 100 ended with $?"
	[[ $answer == "100 To Fahrenheit equals: 212" ]] || fail "$* -f 100 printed '$answer'"
}

# A list from cmake/architectures.cmake into the named array: $2 is its name
# there, without "converter_". Only debian_13_only may be empty.
read_architectures() {
	local words
	words=$(sed -n "s/^set(converter_$2\(\| \(.*\)\))\$/\2/p" "$checkout_root/cmake/architectures.cmake")
	read -ra "$1" <<<"$words"
	[[ -n $words || $2 == debian_13_only ]] || fail "cmake/architectures.cmake gives no converter_$2"
}

# A fact of the checkout $1, read from its one home: $2 is its name
# (version, vendor, or a key of cmake/facts in lower case with "-" for "_":
# apt-pool, packages-dir, binary-dir, apt-dir, artefact), and the rest are
# KIND=, PRESET= and ARCH= where it needs them. Read with sed, not CMake:
# every CI script asks for several, and cmake -P costs a start each time.
fact_in() {
	local top name=$2 version key value
	top=$(cd "$1" && pwd)
	shift 2
	# KIND=, PRESET= and ARCH= as given, the rest empty.
	local KIND='' PRESET='' ARCH='' "$@"
	version=$(sed -n '1s/^converter (\([^)]*\)) .*$/\1/p' "$top/debian/changelog")
	case $name in
	version) echo "$version"; return ;;
	# The first holder of the copyright that LICENSE states, without its years.
	vendor) sed -n '/^Copyright (c) /{s///;s/^[0-9, -]\{1,\} //;p;q;}' "$top/LICENSE"; return ;;
	artefact) key=ARTEFACT_$KIND ;;
	# As cmake/facts says, the Windows presets build in one place.
	binary-dir) [[ $PRESET == windows* ]] && key=WINDOWS_BINARY_DIR || key=BINARY_DIR ;;
	*) key=${name^^} key=${key//-/_} ;;
	esac
	value=$(sed -n "s/^$key=//p" "$top/cmake/facts")
	[[ -n $value ]] || { echo "$top/cmake/facts has no $key" >&2; return 1; }
	value=${value//@VERSION@/$version} value=${value//@ARCH@/$ARCH} value=${value//@PRESET@/$PRESET}
	# A directory is from the top, and this machine's empty @ARCH@ leaves
	# a doubled slash.
	[[ $name != *-dir ]] || value=$top/${value//\/\//\/}
	echo "$value"
}
# The same for this checkout.
fact() { fact_in "$checkout_root" "$@"; }
# The version that project() gives, as every artefact's name carries it.
project_version() { fact version; }
# The name of an artefact of the kind $1 (for the architecture $2).
artefact() { fact artefact "KIND=$1" "ARCH=${2:-}"; }
# Where the checkout $1 (by default this one) leaves its packages.
packages_dir() { fact_in "${1:-$checkout_root}" packages-dir; }
# The binary directory of the preset $1 for the architecture $2 (by default
# this machine's), in the checkout $3 (by default this one).
binary_dir() { fact_in "${3:-$checkout_root}" binary-dir "PRESET=$1" "ARCH=${2:-}"; }
# Where a keyed release in the checkout $1 writes its apt repository.
apt_dir() { fact_in "${1:-$checkout_root}" apt-dir; }
# The next patch version after this checkout's.
later_version() {
	local version
	version=$(project_version)
	echo "${version%.*}.$((${version##*.} + 1))"
}
# This machine's architecture, then every other of cmake/architectures.cmake
# that has a Debian archive, one a line: those that CI installs from.
archive_architectures() {
	local arch all only native
	native=$(dpkg --print-architecture)
	read_architectures all architectures
	read_architectures only debian_13_only
	echo "$native"
	for arch in "${all[@]}"; do
		[[ $arch == "$native" ]] || in_list "$arch" "${only[@]}" || echo "$arch"
	done
}
# The architecture that CI builds for, besides this machine's, where a check
# needs one more: the first that has a Debian archive.
cross_architecture() { archive_architectures | sed -n 2p; }
# The .deb for the architecture $2 from the tree $1, as the release builds
# it (dpkg-buildpackage, the suite left out), moved into $1's packages.
deb_from() {
	local tree=$1 arch=$2 deb
	deb=$(fact_in "$tree" artefact KIND=deb "ARCH=$arch")
	(cd "$tree" && dpkg-buildpackage -a"$arch" -Pnocheck -us -uc -b) || return
	mkdir -p "$(packages_dir "$tree")"
	mv "$tree/../$deb" "$(packages_dir "$tree")/$deb"
}
# The time of the checkout $1's version (by default this one's): its entry
# in debian/changelog, which every artefact carries.
version_time() {
	date -u -d "$(sed -n 's/^ -- .*>  //p' "${1:-$checkout_root}/debian/changelog" | sed -n 1p)" +%s
}

# The program $2 is for the Debian architecture $1, as the suite's own
# machine test reads its ELF header (class, byte order, machine and ABI
# flags), run from this checkout's ci build.
is_for() {
	local checker log
	checker=$(binary_dir ci)/tests/converter_tests
	[[ -x $checker ]] || fail "is_for needs the suite of the ci build: cmake --workflow --preset ci"
	log=$(CONVERTER_ARCH=$1 CONVERTER_PROGRAM=$2 "$checker" \
		--gtest_filter=program.is_for_the_configured_machine 2>&1) || true
	grep -qx '\[  PASSED  \] 1 test\.' <<<"$log" ||
		fail "$2 is not a program for $1: $(file -b "$2"): $(grep -A 4 Failure <<<"$log")"
}

# The program $1 is a 32-bit Windows console program for x86 processors.
is_for_windows_x86() {
	[[ $(file -b "$1") == "PE32 executable (console) Intel 80386"* ]] ||
		fail "$1 is not a 32-bit Windows console program: $(file -b "$1")"
}

# For a run's report: what it waited for while a mirror was mid-sync.
mirror_waits() {
	[[ ! -s ${CONVERTER_APT_STATE:-} ]] || echo "A mirror mid-sync: $(patient_apt waited)"
}

# The release in the checkout $1 stops with one line naming $2, given the
# environment $3... ("here": the release on this machine,
# cmake/release-here.cmake), and leaves no set behind.
release_refused() {
	local where=$1 reason=$2 log word packages environment=() script=cmake/release.cmake
	shift 2
	for word; do
		if [[ $word == here ]]; then script=cmake/release-here.cmake; else environment+=("$word"); fi
	done
	log=$(mktemp)
	packages=$(packages_dir "$where")
	mkdir -p "$packages" && touch "$packages/stale"
	if (cd "$where" && env "${environment[@]}" cmake -P "$script") >"$log" 2>&1; then
		fail "a release with $* went ahead"
	fi
	grep -qF "$reason" "$log" || fail "a release with $* stopped, but not for '$reason': $(cat "$log")"
	[[ ! -e $packages ]] || fail "a release with $* left $packages behind"
	echo "refused, leaving no set: $*: $(grep -m 1 '^release: ' "$log")"
	rm -f "$log"
}

# What the release in the checkout $1, logged in $2, waited for while the
# mirror was mid-sync, and what it was built without.
release_mirror_lines() {
	grep -h -e '^patient-apt: ' -e '^release: built without' "$2" "$1"/build/release-logs/release-root-debian-*.log || true
}

# $1 is one of the words $2...
in_list() {
	local word=$1
	shift
	[[ " $* " == *" $word "* ]]
}

# A copy $3 of the file $1 with its byte at offset $2 changed.
one_byte_changed() {
	cp "$1" "$3"
	printf '\x5a' | dd of="$3" bs=1 seek="$2" conv=notrunc status=none
}

# A clone at $1 of this checkout, at the next patch version, committed: a new
# entry in debian/changelog, made now, by the last entry's maintainer.
clone_at_later_version() {
	local version entry changelog=$1/debian/changelog
	git clone -q "$checkout_root" "$1"
	version=$(later_version)
	entry=$(sed -n 's/^ -- \(.*>\)  .*/\1/p' "$changelog" | sed -n 1p)
	printf 'converter (%s) unstable; urgency=medium\n\n  * Version %s.\n\n -- %s  %s\n\n' \
		"$version" "$version" "$entry" "$(date -R -u)" | cat - "$changelog" >"$changelog.new"
	mv "$changelog.new" "$changelog"
	git -C "$1" -c user.name=CI -c user.email=ci@converter.invalid commit -q -am "Version $version"
}

# lintian has nothing to say, at any level, about the .debs after --, run
# by the command before it (none: on this machine).
no_lintian_tags() {
	local runner=() tags
	while [[ $1 != -- ]]; do
		runner+=("$1")
		shift
	done
	shift
	tags=$("${runner[@]}" lintian -I --pedantic --allow-root "$@") || fail "lintian failed on $*"
	[[ -z $tags ]] || fail "lintian: $tags"
}

# Marks the start of a part named $1 of a check script (the end of the last,
# when empty). Each part's time also goes to the file that
# CONVERTER_CI_PARTS names, for .ci/run's report.
part() {
	local line
	if [[ -n ${part_name:-} ]]; then
		line=$(printf '%5d s  %s: %s' $((SECONDS - part_start)) "${0##*/}" "$part_name")
		echo "-- $line"
		[[ -z ${CONVERTER_CI_PARTS:-} ]] || echo "$line" >>"$CONVERTER_CI_PARTS"
	fi
	part_name=$1 part_start=$SECONDS
	[[ -z $1 ]] || echo "-- ${0##*/}: $1"
}

# Runs $2... with its output in the log $1; a failure shows the log's end,
# where the ERR trap would name the command but not say why it failed.
logged() {
	local log=$1
	shift
	"$@" >"$log" 2>&1 || fail "$* ended with $?: $(tail -n 20 "$log")"
}

# An HTTP server for the directory $1, which it makes, on 127.0.0.1 at a port
# that the kernel picks: its process in $server and its address in $url,
# for the caller to stop.
serve_http() {
	local line port
	mkdir -p "$1"
	exec {from_server}< <(exec python3 -u -m http.server --bind 127.0.0.1 --directory "$1" 0 2>"$1.log")
	server=$!
	read -r line <&"$from_server" || fail "the HTTP server ended: $(cat "$1.log")"
	port=$(sed -n 's/^Serving HTTP on .* port \([0-9]*\) .*/\1/p' <<<"$line")
	[[ -n $port ]] || fail "the HTTP server gave no port: $line"
	url=http://127.0.0.1:$port
}
