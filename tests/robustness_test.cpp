// SPDX-FileCopyrightText: 2026 The converter authors
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cases.h"
#include "run.h"

namespace {

using argv_list = std::vector<std::vector<std::string>>;

class lost_output : public testing::TestWithParam<write_failure_row> {};

TEST_P(lost_output, is_never_success)
{
	const write_failure_row &row = GetParam();
	outcome got;
	try {
		got = run_converter(row.args, row.where);
	} catch (const no_terminal &missing) {
		// CI has a terminal, and sets this so that the row is proven.
		if (!setting("CONVERTER_TESTS_NO_SKIP", "").empty())
			FAIL() << "CONVERTER_TESTS_NO_SKIP is set, and this "
			          "machine offers no pseudo-terminal ("
			       << missing.what() << ")";
		GTEST_SKIP() << "this machine offers no pseudo-terminal ("
		             << missing.what() << ")";
	}
	ASSERT_TRUE(got.exited()) << "wait status " << got.wait_status;
	EXPECT_EQ(got.status(), row.status & 0xff);
	EXPECT_EQ(got.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    write_failures, lost_output, testing::ValuesIn(write_failure_cases));

bool one_line_or_usage(const std::string &out)
{
	const bool one_line = !out.empty() && out.find('\n') == out.size() - 1;
	return one_line || out == usage_text;
}

// What must hold for any command line at all, without saying which line.
void check_survives(const argv_list &sweep)
{
	for (const std::vector<std::string> &args : sweep) {
		SCOPED_TRACE(describe(args));
		const outcome got = run_converter(args);
		ASSERT_TRUE(got.exited()) << "wait status " << got.wait_status;
		const int status = got.status();
		EXPECT_TRUE(status == 0 || status == 1 || status == 80 ||
		    status == (808 & 0xff))
		    << "status " << status;
		EXPECT_EQ(got.err, "");
		EXPECT_TRUE(one_line_or_usage(got.out))
		    << "output '" << got.out << "'";
	}
}

// The longest option word that the sweep tries: CONVERTER_SWEEP_WORD_LENGTH
// in the environment where it is set (under emulation, 2 is enough), else
// the length this suite was built with.
std::size_t sweep_word_length()
{
	return std::stoul(setting("CONVERTER_SWEEP_WORD_LENGTH",
	    std::to_string(CONVERTER_SWEEP_WORD_LENGTH)));
}

std::vector<std::string> all_option_words()
{
	const std::string alphabet = "-/cCfFhHx\x80";
	const std::size_t longest = sweep_word_length();
	std::vector<std::string> words{""};
	for (std::size_t begin = 0, length = 1; length <= longest; ++length) {
		const std::size_t end = words.size();
		for (std::size_t i = begin; i < end; ++i)
			for (const char c : alphabet)
				words.push_back(words[i] + c);
		begin = end;
	}
	return words;
}

const std::vector<std::string> temperature_texts = {"", " ", "0", "-0", "+5",
    ".5", "5.", "1e", "1e400", "1e-400", "0x1A", "0x", "nan", "inf", "-inf",
    std::string(100000, '9'), "\xff\xfe", "\xc3\x28", "37.5junk", "5\n6",
    "\t-12"};

// In shards, so that CTest spreads the sweep, most of the suite's time, over
// the machine's cores.
constexpr std::size_t shards = 4;
class option_words : public testing::TestWithParam<std::size_t> {};

TEST_P(option_words, alone_and_with_a_number)
{
	const std::vector<std::string> words = all_option_words();
	argv_list sweep;
	for (std::size_t i = GetParam(); i < words.size(); i += shards) {
		sweep.push_back({words[i]});
		sweep.push_back({words[i], "5"});
	}
	check_survives(sweep);
}

INSTANTIATE_TEST_SUITE_P(
    sweep, option_words, testing::Range(std::size_t{0}, shards));

TEST(sweep, temperature_texts)
{
	argv_list sweep;
	for (const std::string &text : temperature_texts) {
		for (const char *word : {"-c", "-F", "-x", "", "f", "-\x80"})
			sweep.push_back({word, text});
		sweep.push_back({text});
		sweep.push_back({text, text, text});
	}
	check_survives(sweep);
}

TEST(sweep, argument_counts)
{
	argv_list sweep;
	for (const int count : {0, 1, 2, 3, 4, 10, 100, 1000, 5000}) {
		std::vector<std::string> args;
		args.reserve(static_cast<std::size_t>(count));
		for (int i = 0; i < count; ++i)
			args.emplace_back(i % 2 == 0 ? "-f" : "100");
		sweep.push_back(args);
	}
	check_survives(sweep);
}

// An empty argument vector never reaches a program on Linux, which hands it
// an empty program name instead (argc 1): this start-up.
TEST(sweep, an_empty_program_name_alone)
{
	const outcome got = run_program({""});
	ASSERT_TRUE(got.exited()) << "wait status " << got.wait_status;
	EXPECT_EQ(
	    got.out, "Error: Missing parameter, try '-h' to view options!\n");
	EXPECT_EQ(got.err, "");
	EXPECT_EQ(got.status(), 1);
}

}  // namespace
