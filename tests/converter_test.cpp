// SPDX-FileCopyrightText: 2026 The converter authors
// SPDX-License-Identifier: MIT

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>

#include "cases.h"
#include "run.h"

namespace {

class answers : public testing::TestWithParam<case_row> {};

TEST_P(answers, exact_output_and_status)
{
	const case_row &row = GetParam();
	const outcome got =
	    run_converter(row.args, sink::pipe, row.environment);
	ASSERT_TRUE(got.exited()) << "wait status " << got.wait_status;
	EXPECT_EQ(got.out, row.out);
	EXPECT_EQ(got.err, "");
	EXPECT_EQ(got.status(), row.status & 0xff);
}

INSTANTIATE_TEST_SUITE_P(
    usage_and_hint, answers, testing::ValuesIn(usage_cases));
INSTANTIATE_TEST_SUITE_P(
    conversion, answers, testing::ValuesIn(conversion_cases));
INSTANTIATE_TEST_SUITE_P(format, answers, testing::ValuesIn(format_cases));
INSTANTIATE_TEST_SUITE_P(decimal_ties, answers, testing::ValuesIn(tie_cases));
INSTANTIATE_TEST_SUITE_P(
    missing_or_zero, answers, testing::ValuesIn(temperature_cases));
INSTANTIATE_TEST_SUITE_P(
    unknown_letter, answers, testing::ValuesIn(letter_cases));
INSTANTIATE_TEST_SUITE_P(
    extra_arguments, answers, testing::ValuesIn(extra_argument_cases));

#ifdef CONVERTER_ELF_MACHINE
// The program's ELF header up to its machine; zeros where it cannot be read,
// which no check below takes for a header.
std::array<unsigned char, 20> header_of(const char *path)
{
	std::array<unsigned char, 20> header{};
	const int fd = open(path, O_RDONLY | O_CLOEXEC);
	if (fd >= 0) {
		static_cast<void>(read(fd, header.data(), header.size()));
		close(fd);
	}
	return header;
}

// A program that another compiler than the target's built may well run here
// too, natively or under another emulator, and answer every case above.
TEST(program, is_for_the_configured_machine)
{
	const std::array<unsigned char, 20> header = header_of(CONVERTER_PATH);
	const std::array<unsigned char, 4> magic{0x7f, 'E', 'L', 'F'};
	ASSERT_TRUE(std::equal(magic.begin(), magic.end(), header.begin()))
	    << CONVERTER_PATH << " is not an ELF program";
	const bool big_endian = CONVERTER_ELF_BIG_ENDIAN;
	EXPECT_EQ(header[4], CONVERTER_ELF_BITS / 32) << "ELF class";
	EXPECT_EQ(header[5], big_endian ? 2 : 1) << "byte order";
	const unsigned high = header[big_endian ? 18 : 19];
	const unsigned low = header[big_endian ? 19 : 18];
	EXPECT_EQ(high << 8U | low, CONVERTER_ELF_MACHINE) << "machine";
}
#endif

}  // namespace
