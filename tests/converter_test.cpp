// SPDX-FileCopyrightText: 2026 The converter authors
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

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

}  // namespace
