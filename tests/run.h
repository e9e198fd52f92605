// SPDX-FileCopyrightText: 2026 The converter authors
// SPDX-License-Identifier: MIT

#ifndef CONVERTER_TESTS_RUN_H
#define CONVERTER_TESTS_RUN_H

#include <string>
#include <vector>

// Where the child's standard output goes.
enum class sink { pipe, closed, full_device };

struct outcome {
	std::string out;
	std::string err;
	int wait_status = 0;

	[[nodiscard]] bool exited() const;
	[[nodiscard]] int status() const;  // meaningful only when exited()
};

// Starts `program` with exactly `argv` (argv[0] included, possibly empty) and
// no shell in between, and waits for it.
outcome run(const std::string &program, const std::vector<std::string> &argv,
    sink out = sink::pipe);

// The built converter, called by its plain name and given `args` after it.
outcome run_converter(
    const std::vector<std::string> &args, sink out = sink::pipe);

#endif
