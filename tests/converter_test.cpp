// SPDX-FileCopyrightText: 2026 The converter authors
// SPDX-License-Identifier: MIT

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "cases.h"
#include "elf_machines.h"
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

#ifdef CONVERTER_ARCH
// The machine that the program must be for: CONVERTER_ARCH in the
// environment where it is set (with CONVERTER_PROGRAM), else the one this
// suite was built for.
std::string configured_arch()
{
	return setting("CONVERTER_ARCH", CONVERTER_ARCH);
}

// The program's ELF header up to e_flags; zeros where it cannot be read,
// which no check below takes for a header.
std::array<unsigned char, 64> header_of(const std::string &path)
{
	std::array<unsigned char, 64> header{};
	const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
	if (fd >= 0) {
		if (read(fd, header.data(), header.size()) < 0)
			header.fill(0);
		close(fd);
	}
	return header;
}

// The field of `size` bytes at `offset`, in the header's byte order.
std::uint32_t field(const std::array<unsigned char, 64> &header,
    std::size_t offset, std::size_t size, bool big_endian)
{
	std::uint32_t value = 0;
	for (std::size_t i = 0; i < size; ++i) {
		const std::size_t byte =
		    big_endian ? offset + i : offset + size - 1 - i;
		value = value << 8U | header.at(byte);
	}
	return value;
}

// A program that another compiler than the target's built may well run here
// too, natively or under another emulator, and answer every case above;
// armel's and armhf's differ in e_flags alone.
TEST(program, is_for_the_configured_machine)
{
	const std::string arch = configured_arch();
	const auto *machine =
	    std::find_if(elf_machines.begin(), elf_machines.end(),
	        [arch](const elf_machine &m) { return m.arch == arch; });
	ASSERT_NE(machine, elf_machines.end())
	    << "no ELF header is known for '" << arch << "'";
	const std::array<unsigned char, 64> header =
	    header_of(converter_program());
	const std::array<unsigned char, 4> magic{0x7f, 'E', 'L', 'F'};
	ASSERT_TRUE(std::equal(magic.begin(), magic.end(), header.begin()))
	    << converter_program() << " is not an ELF program";
	const bool big = machine->big_endian;
	EXPECT_EQ(header[4], machine->bits / 32) << "ELF class";
	EXPECT_EQ(header[5], big ? 2 : 1) << "byte order";
	EXPECT_EQ(field(header, 18, 2, big), machine->machine) << "machine";
	const std::size_t flags_at = machine->bits == 64 ? 48 : 36;
	EXPECT_EQ(field(header, flags_at, 4, big) & machine->flags_mask,
	    machine->flags)
	    << "e_flags, under 0x" << std::hex << machine->flags_mask;
}
#endif

}  // namespace
