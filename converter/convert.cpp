// SPDX-FileCopyrightText: 2026 The converter authors
// SPDX-License-Identifier: MIT

#include <cstdio>
#include <optional>

#include "converter.h"

namespace {

constexpr double freezing_offset = 32.0;
constexpr double fahrenheit_factor = 1.8;
// The exact ratio, so that the two directions undo each other: 100 C is 212 F
// and 212 F is 100 C again.
constexpr double celsius_factor = 5.0 / 9.0;

}  // namespace

void convert_and_report(char letter, std::optional<double> temperature)
{
	// A missing number is reported before the letter is looked at, so that
	// "-x abc" and "-f abc" tell the user the same thing.
	if (!temperature) {
		std::printf("Error: Missing Temperature!\n");
		exit_status = 80;
		return;
	}

	const double t = *temperature;
	switch (letter) {
	case 'c':
	case 'C':
		std::printf("%.4g To Celsius equals: %.4g\n", t,
		    (t - freezing_offset) * celsius_factor);
		break;
	case 'f':
	case 'F':
		std::printf("%.4g To Fahrenheit equals: %.4g\n", t,
		    t * fahrenheit_factor + freezing_offset);
		break;
	default:
		std::printf("Error: Missing something!\n");
		exit_status = 1;
		break;
	}
}
