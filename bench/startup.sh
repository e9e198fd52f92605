#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# Start-up cost of converter, side by side with an empty C program linked the
# same way and with GNU units: the dynamic program that the .deb installs, and
# the static-pie one of the portable tarball. Instructions come from callgrind
# and repeat exactly from run to run; wall times come from hyperfine and do
# not. Every command runs in one small, fixed environment, since the loader
# and the C library's start-up read all of it. Exits 1 when converter adds
# more instructions to its empty program than the goal allows, or when
# callgrind counted nothing.
#
# Needs valgrind, hyperfine and units (all Debian packages).
set -euo pipefail
cd "$(dirname "$0")/.."
# awk prints and reads its numbers by the locale: in one with a decimal comma
# the ratios read "1,500", and the goal's comparison becomes one of text.
export LC_ALL=C

# What the conversion and its printf may add to starting an empty program:
# the count of the start itself rises and falls with the environment, and a
# ratio to it with that, but the difference stays (about 10,100 dynamic,
# where the loader also binds strtod, printf, fflush and ferror, and 4,700
# static-pie).
goal=12000
fixed=(env -i LC_ALL=C PATH=/usr/bin:/bin)
for preset in release portable; do
	cmake --preset "$preset" >/dev/null
	cmake --build --preset "$preset" >/dev/null
done
# Where the presets built, as cmake/facts fixes it.
. .ci/common.sh
converter=$(binary_dir release)/converter
static=$(binary_dir portable)/converter

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'int main(void)\n{\n\treturn 0;\n}\n' >"$work/empty.c"
# Linked as the two programs are: the compiler's default (dynamic, position
# independent), and static-pie.
cc -O2 -o "$work/empty" "$work/empty.c"
cc -O2 -static-pie -o "$work/empty-static" "$work/empty.c"

names=("converter -f 100" "empty C program" "converter -f 100, static-pie"
	"empty C program, static-pie" "units -t 'tempF(212)' tempC")
# Their words, which no quote needs: hyperfine splits them as callgrind gets them.
commands=("$converter -f 100" "$work/empty" "$static -f 100" "$work/empty-static"
	"units -t tempF(212) tempC")

instructions() {
	"${fixed[@]}" valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" \
		2>&1 >/dev/null | sed -n 's/^==[0-9]*== Collected : //p'
}
# A count that valgrind did not give would make a difference of nothing pass.
for row in "${!names[@]}"; do
	read -ra words <<<"${commands[row]}"
	counts[row]=$(instructions "${words[@]}")
	[[ ${counts[row]} =~ ^[1-9][0-9]*$ ]] ||
		{ echo "callgrind gave no instruction count for ${names[row]}" >&2; exit 1; }
done

"${fixed[@]}" hyperfine --shell=none --warmup 20 --style none \
	--export-csv "$work/times.csv" "${commands[@]}" >/dev/null

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
ms() { awk -v t="$1" 'BEGIN { print t * 1000 }'; }
dynamic_ratio=$(ratio "${counts[0]}" "${counts[1]}")
static_ratio=$(ratio "${counts[2]}" "${counts[3]}")
echo "Machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | sed -n 1p), $(uname -sr)"
echo
echo "| Command | Instructions | Wall time (mean ± σ) |"
echo "|---|---:|---:|"
row=0
while IFS=, read -r _ mean stddev _; do
	printf '| `%s` | %d | %.2f ms ± %.2f ms |\n' "${names[row]}" "${counts[row]}" "$(ms "$mean")" "$(ms "$stddev")"
	row=$((row + 1))
done < <(tail -n +2 "$work/times.csv")
echo
added_dynamic=$((counts[0] - counts[1]))
added_static=$((counts[2] - counts[3]))
echo "Instructions that converter -f 100 adds to its empty program: $added_dynamic dynamic," \
	"$added_static static-pie (goal: $goal or fewer); ratios $dynamic_ratio and $static_ratio"
((added_dynamic <= goal && added_static <= goal))
