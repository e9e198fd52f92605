// SPDX-FileCopyrightText: 2026 The converter authors
// SPDX-License-Identifier: MIT

#ifndef CONVERTER_TESTS_RUN_H
#define CONVERTER_TESTS_RUN_H

#include <string>
#include <system_error>
#include <vector>

// Where the child's standard output goes.
enum class sink { pipe, closed, full_device, hung_up_terminal };

// What a run throws where the machine offers no pseudo-terminal at all, as
// in a plain chroot without /dev/pts: the machine lacks it, and no program
// can be tested on one there.
class no_terminal : public std::system_error {
	using std::system_error::system_error;
};

struct outcome {
	std::string out;
	std::string err;
	int wait_status = 0;

	[[nodiscard]] bool exited() const;
	[[nodiscard]] int status() const;  // meaningful only when exited()
};

// Starts `program` with exactly `argv` (argv[0] included, possibly empty) and
// no shell in between, and waits for it. An empty `environment` passes on
// the test's own.
outcome run(const std::string &program, const std::vector<std::string> &argv,
    sink out = sink::pipe, const std::vector<std::string> &environment = {});

// A setting of the suite: the environment's value for `name` where it is
// set and not empty, else `built_in`, the one the suite was built with.
std::string setting(const char *name, const std::string &built_in);

// The converter under test: the program that CONVERTER_PROGRAM names in the
// environment, where it is set (a build that ships, say), else the one
// that this suite was built with.
const std::string &converter_program();

// The converter under test with exactly `argv`, through the emulator that
// the build names where the machine cannot start it itself; an emulator
// tells the program its own path for argv[0].
outcome run_program(const std::vector<std::string> &argv, sink out = sink::pipe,
    const std::vector<std::string> &environment = {});

// The converter under test, called by its plain name and given `args` after
// it.
outcome run_converter(const std::vector<std::string> &args,
    sink out = sink::pipe, const std::vector<std::string> &environment = {});

#endif
