// SPDX-FileCopyrightText: 2026 The converter authors
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "cases.h"
#include "run.h"

namespace {

// Every row but those that set an environment of their own: they place a
// string right after an empty word in a Linux process's memory, which a
// Windows process, whose environment and command line Wine builds anew,
// does not have.
std::vector<case_row> every_case()
{
	std::vector<case_row> rows;
	for (const auto *table :
	    {&usage_cases, &conversion_cases, &format_cases, &tie_cases,
	        &temperature_cases, &letter_cases, &extra_argument_cases})
		std::copy_if(table->begin(), table->end(),
		    std::back_inserter(rows), [](const case_row &row) {
			    return row.environment.empty();
		    });
	return rows;
}

// Windows' text mode turns every newline the program prints into CR LF.
std::string with_crlf(const std::string &text)
{
	std::string out;
	for (const char c : text) {
		if (c == '\n')
			out += '\r';
		out += c;
	}
	return out;
}

// The prefix and server that the wine_start fixture made ready; Wine's own
// diagnostics off, so that standard error holds only what the program wrote.
outcome run_windows(
    const std::vector<std::string> &words, sink out = sink::pipe)
{
	std::vector<std::string> argv{
	    "env", "WINEPREFIX=" WINE_PREFIX, "WINEDEBUG=-all", WINE};
	argv.insert(argv.end(), words.begin(), words.end());
	return run("env", argv, out);
}

// The Windows program with `args`, the way a user at a prompt starts it.
outcome run_windows_converter(
    const std::vector<std::string> &args, sink out = sink::pipe)
{
	std::vector<std::string> words{CONVERTER_WINDOWS_EXE};
	words.insert(words.end(), args.begin(), args.end());
	return run_windows(words, out);
}

// Both builds get the same words; only the line ends may differ.
class windows_build : public testing::TestWithParam<case_row> {};

TEST_P(windows_build, answers_as_the_native_build)
{
	const std::vector<std::string> &args = GetParam().args;
	const outcome native = run_converter(args);
	const outcome windows = run_windows_converter(args);

	ASSERT_TRUE(native.exited() && windows.exited());
	EXPECT_EQ(windows.out, with_crlf(native.out));
	EXPECT_EQ(windows.err, "");
	EXPECT_EQ(windows.status(), native.status());
}

// A POSIX parent sees eight bits of the status; cmd sees all of it, and the
// table's own statuses are the full values. Windows' cmd expands %VAR% as it
// reads the whole line, before the program has run; !VAR!, with delayed
// expansion on, when the echo runs.
TEST_P(windows_build, hands_cmd_the_whole_status)
{
	const case_row &row = GetParam();
	std::string exe = std::string("Z:") + CONVERTER_WINDOWS_EXE;
	for (char &c : exe)
		c = c == '/' ? '\\' : c;
	std::vector<std::string> words{"cmd", "/v:on", "/c", exe};
	words.insert(words.end(), row.args.begin(), row.args.end());
	words.insert(words.end(), {"&", "echo", "!ERRORLEVEL!"});
	const outcome got = run_windows(words);

	ASSERT_TRUE(got.exited());
	const std::string last_line = std::to_string(row.status) + "\r\n";
	ASSERT_GE(got.out.size(), last_line.size());
	EXPECT_EQ(got.out.substr(got.out.size() - last_line.size()), last_line)
	    << got.out;
	EXPECT_EQ(got.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    every_case, windows_build, testing::ValuesIn(every_case()));

class windows_lost_output : public testing::TestWithParam<write_failure_row> {};

TEST_P(windows_lost_output, is_never_success)
{
	const write_failure_row &row = GetParam();
	const outcome got = run_windows_converter(row.args, row.where);
	ASSERT_TRUE(got.exited());
	EXPECT_EQ(got.status(), row.status & 0xff);
	EXPECT_EQ(got.err, "");
}

INSTANTIATE_TEST_SUITE_P(write_failures, windows_lost_output,
    testing::ValuesIn(write_failure_cases));

}  // namespace
