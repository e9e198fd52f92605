# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT
#
# Sourced by the CI scripts.

fail() {
	echo "FAILED: $*" >&2
	exit 1
}

# The program at $1 answers the README's first conversion, and says it
# succeeded; under emulation where it is another machine's.
converts() {
	local answer
	answer=$("$@" -f 100) || fail "$* -f 100 ended with $?"
	[[ $answer == "100 To Fahrenheit equals: 212" ]] || fail "$* -f 100 printed '$answer'"
}

# The architectures of cmake/architectures.cmake, into the named array.
read_architectures() {
	read -ra "$1" < <(sed -n "s/^set(converter_$2 \(.*\))\$/\1/p" cmake/architectures.cmake)
}
