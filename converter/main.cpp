// SPDX-FileCopyrightText: 2026 The converter authors
// SPDX-License-Identifier: MIT

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "converter.h"

int exit_status = 0;

namespace {

void show_usage()
{
	std::printf("TEMP CONVERTOR PROGRAM: \n");
	std::printf("\t%s\n", "Convert Celsius to Fahrenheit\t[ -f, -F ]");
	std::printf("\t%s\n", "Convert Fahrenheit to Celsius\t[ -c, -C ]");
}

// Only the second character counts, so "-f", "/f" and "-fahrenheit" ask the
// same. A word too short to have one yields no letter; an empty word must not
// be read past its end.
char option_letter(const char *word)
{
	return word[0] == '\0' ? '\0' : word[1];
}

// Read the way atof reads, but tell "0" apart from text that holds no number
// at all: only the latter is a missing temperature.
std::optional<double> read_temperature(const char *text)
{
	char *end = nullptr;
	const double value = std::strtod(text, &end);
	if (end == text)
		return std::nullopt;
	return value;
}

}  // namespace

int main(int argc, char *argv[])
{
	if (argc >= 3) {
		convert_and_report(
		    option_letter(argv[1]), read_temperature(argv[2]));
	} else if (argc == 2) {
		if (option_letter(argv[1]) == 'h')
			show_usage();
		else
			std::printf("Try '-h' to view options.\n");
		exit_status = 808;
	} else {
		std::printf(
		    "Error: Missing parameter, try '-h' to view options!\n");
		exit_status = 1;
	}

	// A line lost to a full disk or a closed stream must not pass for
	// success; an outcome that already failed keeps its own status.
	if ((std::fflush(stdout) != 0 || std::ferror(stdout) != 0) &&
	    exit_status == 0)
		exit_status = 1;
	return exit_status;
}
