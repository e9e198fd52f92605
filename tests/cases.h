// SPDX-FileCopyrightText: 2026 The converter authors
// SPDX-License-Identifier: MIT

#ifndef CONVERTER_TESTS_CASES_H
#define CONVERTER_TESTS_CASES_H

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "run.h"

// One command line and what the program must answer to it. The status is the
// program's own; a POSIX parent sees only its low eight bits.
struct case_row {
	std::vector<std::string> args;  // after the program name
	std::string out;
	int status;
	std::vector<std::string> environment{};  // empty: the test's own
};

// Words as a reader can see them: each quoted and after a blank, long ones
// cut short, and bytes that do not print shown in hexadecimal.
inline std::string quoted(const std::vector<std::string> &words)
{
	constexpr std::size_t shown = 40;
	std::string text;
	for (const std::string &word : words) {
		text += " '";
		for (const char c : word.substr(0, shown)) {
			const auto byte = static_cast<unsigned char>(c);
			if (byte >= 0x20 && byte < 0x7f) {
				text += c;
			} else {
				const std::string_view digits =
				    "0123456789abcdef";
				text += "\\x";
				text += digits[byte >> 4U];
				text += digits[byte & 0xfU];
			}
		}
		text += word.size() > shown ? "'..." : "'";
	}
	return text;
}

// A command line as a reader can see it.
inline std::string describe(const std::vector<std::string> &args)
{
	return "converter" + quoted(args);
}

inline void PrintTo(const case_row &row, std::ostream *os)
{
	if (!row.environment.empty())
		*os << "env -i" << quoted(row.environment) << " ";
	*os << describe(row.args);
}

inline const std::string usage_text =
    "TEMP CONVERTOR PROGRAM: \n"
    "\tConvert Celsius to Fahrenheit\t[ -f, -F ]\n"
    "\tConvert Fahrenheit to Celsius\t[ -c, -C ]\n";
inline const std::string hint = "Try '-h' to view options.\n";
inline const std::string missing_temperature = "Error: Missing Temperature!\n";
inline const std::string missing_something = "Error: Missing something!\n";

inline const std::vector<case_row> usage_cases = {
    {{}, "Error: Missing parameter, try '-h' to view options!\n", 1},
    {{"-h"}, usage_text, 808},
    {{"-help"}, usage_text, 808},
    {{"/h"}, usage_text, 808},
    {{"xh"}, usage_text, 808},
    {{"-H"}, hint, 808},
    {{"-f"}, hint, 808},
    {{"-c"}, hint, 808},
    {{"h"}, hint, 808},
    {{""}, hint, 808},
    // The word is empty and the environment's first string follows it in
    // memory: a letter read past the word's end would be this "h".
    {{""}, hint, 808, {"h=1"}},
};

inline const std::vector<case_row> conversion_cases = {
    {{"-f", "100"}, "100 To Fahrenheit equals: 212\n", 0},
    {{"-F", "37"}, "37 To Fahrenheit equals: 98.6\n", 0},
    {{"-f", "-40"}, "-40 To Fahrenheit equals: -40\n", 0},
    {{"-f", "0.5"}, "0.5 To Fahrenheit equals: 32.9\n", 0},
    {{"/f", "100"}, "100 To Fahrenheit equals: 212\n", 0},
    {{"-fahrenheit", "100"}, "100 To Fahrenheit equals: 212\n", 0},
    {{"-c", "212"}, "212 To Celsius equals: 100\n", 0},
    {{"-C", "50"}, "50 To Celsius equals: 10\n", 0},
    {{"-c", "98.6"}, "98.6 To Celsius equals: 37\n", 0},
    {{"-c", "32"}, "32 To Celsius equals: 0\n", 0},
    {{"-c", "-40"}, "-40 To Celsius equals: -40\n", 0},
    // A factor off in its fourth digit (0.5556) shows only here.
    {{"-c", "1e6"}, "1e+06 To Celsius equals: 5.555e+05\n", 0},
};

// Results a hair from a decimal tie at the fourth digit, where one rounding
// too many or too few (x87 registers, a fused multiply-add) tips the last
// digit: every build must print these digits.
inline const std::vector<case_row> tie_cases = {
    {{"-f", "139.25"}, "139.2 To Fahrenheit equals: 282.6\n", 0},
    {{"-f", "-150.25"}, "-150.2 To Fahrenheit equals: -238.4\n", 0},
    {{"-f", "-27.175"}, "-27.18 To Fahrenheit equals: -16.91\n", 0},
    {{"-c", "-9.661"}, "-9.661 To Celsius equals: -23.15\n", 0},
    {{"-f", "55.75"}, "55.75 To Fahrenheit equals: 132.4\n", 0},
};

inline const std::vector<case_row> format_cases = {
    {{"-f", "1e6"}, "1e+06 To Fahrenheit equals: 1.8e+06\n", 0},
    {{"-f", "1e-5"}, "1e-05 To Fahrenheit equals: 32\n", 0},
    {{"-f", "1e-300"}, "1e-300 To Fahrenheit equals: 32\n", 0},
    {{"-f", "123.456"}, "123.5 To Fahrenheit equals: 254.2\n", 0},
    {{"-c", "9999.9"}, "1e+04 To Celsius equals: 5538\n", 0},
    {{"-f", "12abc"}, "12 To Fahrenheit equals: 53.6\n", 0},
    {{"-f", " 0x1A"}, "26 To Fahrenheit equals: 78.8\n", 0},
    {{"-f", "1e400"}, "inf To Fahrenheit equals: inf\n", 0},
    {{"-c", "-inf"}, "-inf To Celsius equals: -inf\n", 0},
    {{"-f", "nan"}, "nan To Fahrenheit equals: nan\n", 0},
};

inline const std::vector<case_row> temperature_cases = {
    {{"-f", "0"}, "0 To Fahrenheit equals: 32\n", 0},
    {{"-f", "-0"}, "-0 To Fahrenheit equals: 32\n", 0},
    {{"-c", "0.0"}, "0 To Celsius equals: -17.78\n", 0},
    {{"-c", "0"}, "0 To Celsius equals: -17.78\n", 0},
    {{"-f", "1e-400"}, "0 To Fahrenheit equals: 32\n", 0},
    {{"-f", "abc"}, missing_temperature, 80},
    {{"-f", ""}, missing_temperature, 80},
    {{"-f", " "}, missing_temperature, 80},
    {{"-f", "-"}, missing_temperature, 80},
    {{"-f", "."}, missing_temperature, 80},
    {{"-c", "e5"}, missing_temperature, 80},
    {{"-x", "abc"}, missing_temperature, 80},
};

inline const std::vector<case_row> letter_cases = {
    {{"-x", "5"}, missing_something, 1},
    {{"-h", "20"}, missing_something, 1},
    {{"-x", "0"}, missing_something, 1},
    {{"", "5"}, missing_something, 1},
    {{"f", "5"}, missing_something, 1},
};

inline const std::vector<case_row> extra_argument_cases = {
    {{"-f", "10", "20"}, "10 To Fahrenheit equals: 50\n", 0},
    {{"-c", "212", "abc", "-h"}, "212 To Celsius equals: 100\n", 0},
    {{"-f", "abc", "10"}, missing_temperature, 80},
    {{"-x", "5", "-f"}, missing_something, 1},
};

// A failed write is a failure, whatever the line was; a status that already
// tells of a failure stays as it was.
struct write_failure_row {
	std::vector<std::string> args;
	sink where;
	int status;
};

inline void PrintTo(const write_failure_row &row, std::ostream *os)
{
	*os << describe(row.args);
	switch (row.where) {
	case sink::pipe:
		break;
	case sink::closed:
		*os << " >&-";
		break;
	case sink::full_device:
		*os << " >/dev/full";
		break;
	case sink::hung_up_terminal:
		*os << " on a hung-up terminal";
		break;
	}
}

inline const std::vector<write_failure_row> write_failure_cases = {
    {{"-f", "100"}, sink::full_device, 1},
    {{"-f", "100"}, sink::closed, 1},
    {{"-x", "5"}, sink::full_device, 1},
    {{"-f", "abc"}, sink::full_device, 80},
    {{"-c", "abc"}, sink::closed, 80},
    {{"-h"}, sink::full_device, 808},
    {{"-H"}, sink::closed, 808},
    {{}, sink::full_device, 1},
    // Line-buffered: the write fails at the newline, and only the stream's
    // error flag still knows by the end.
    {{"-f", "100"}, sink::hung_up_terminal, 1},
    {{"-h"}, sink::hung_up_terminal, 808},
};

#endif
