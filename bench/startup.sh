#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# Start-up cost of converter, side by side with an empty C program linked the
# same way and with GNU units. Instructions come from callgrind and repeat
# exactly from run to run; wall times come from hyperfine and do not. Exits 1
# only when the instruction ratio to the empty program passes the goal.
#
# Needs valgrind, hyperfine and units (all Debian packages).
set -euo pipefail
cd "$(dirname "$0")/.."

goal=1.10
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
converter=build/release/converter

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'int main(void)\n{\n\treturn 0;\n}\n' >"$work/empty.c"
# The compiler's defaults, as for the program: dynamic, position independent.
cc -O2 -o "$work/empty" "$work/empty.c"

commands=("$converter -f 100" "$work/empty" "units -t 'tempF(212)' tempC")
runs=("$converter" -f 100)

instructions() {
	valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" \
		2>&1 >/dev/null | sed -n 's/^==[0-9]*== Collected : //p'
}
ir_converter=$(instructions "${runs[@]}")
ir_empty=$(instructions "$work/empty")
ir_units=$(instructions units -t 'tempF(212)' tempC)

hyperfine --shell=none --warmup 20 --style none \
	--export-csv "$work/times.csv" "${commands[@]}" >/dev/null

ratio=$(awk -v a="$ir_converter" -v b="$ir_empty" 'BEGIN { printf "%.3f", a / b }')
echo "Machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1), $(uname -sr)"
echo
echo "| Command | Instructions | Wall time (mean ± σ) |"
echo "|---|---:|---:|"
awk -F, -v c="$ir_converter" -v e="$ir_empty" -v u="$ir_units" '
	NR > 1 {
		ir = NR == 2 ? c : NR == 3 ? e : u
		name = NR == 2 ? "converter -f 100" : NR == 3 ? "empty C program" : "units -t '\''tempF(212)'\'' tempC"
		printf "| `%s` | %d | %.2f ms ± %.2f ms |\n", name, ir, $2 * 1000, $3 * 1000
	}' "$work/times.csv"
echo
echo "Instruction ratio, converter to the empty program: $ratio (goal: $goal or less)"
awk -v r="$ratio" -v g="$goal" 'BEGIN { exit !(r <= g) }'
