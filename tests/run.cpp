// SPDX-FileCopyrightText: 2026 The converter authors
// SPDX-License-Identifier: MIT

#include "run.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include <algorithm>
#include <array>
#include <cerrno>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace {

[[noreturn]] void fail(const char *what)
{
	throw std::system_error(errno, std::generic_category(), what);
}

// Owns one descriptor.
struct descriptor {
	int fd = -1;

	descriptor() = default;
	~descriptor()
	{
		reset();
	}
	descriptor(const descriptor &) = delete;
	descriptor &operator=(const descriptor &) = delete;
	descriptor(descriptor &&) = delete;
	descriptor &operator=(descriptor &&) = delete;

	void reset()
	{
		if (fd >= 0)
			close(fd);
		fd = -1;
	}
};

// Owns one pipe; both ends close with it.
struct pipe_pair {
	descriptor read_end;
	descriptor write_end;

	pipe_pair()
	{
		std::array<int, 2> fd{-1, -1};
		if (pipe2(fd.data(), O_CLOEXEC) != 0)
			fail("pipe2");
		read_end.fd = fd[0];
		write_end.fd = fd[1];
	}
};

// Only these say that there is no pseudo-terminal here; any other error is
// the suite's own failure.
[[noreturn]] void fail_terminal(const char *what)
{
	if (errno == ENOENT || errno == ENODEV || errno == ENXIO)
		throw no_terminal(errno, std::generic_category(), what);
	fail(what);
}

// The slave side of a pseudo-terminal whose master side has already closed,
// as after a hang-up: the C library still takes it for a terminal, and
// every write to it fails.
void open_hung_up_terminal(descriptor &slave)
{
	descriptor master;
	master.fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
	std::array<char, 64> name{};
	if (master.fd < 0 || grantpt(master.fd) != 0 ||
	    unlockpt(master.fd) != 0 ||
	    ptsname_r(master.fd, name.data(), name.size()) != 0)
		fail_terminal("pseudo-terminal");
	slave.fd = open(name.data(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
	if (slave.fd < 0)
		fail_terminal(name.data());
}

// Words as exec wants them: writable copies, then a null pointer.
std::vector<char *> word_array(std::vector<std::string> &words)
{
	std::vector<char *> array(words.size() + 1, nullptr);
	std::transform(words.begin(), words.end(), array.begin(),
	    [](std::string &word) { return word.data(); });
	return array;
}

// Reads both pipes together, so that a child filling one cannot stall on it
// while the other is drained.
void drain(int out_fd, int err_fd, std::string &out, std::string &err)
{
	std::array<pollfd, 2> fds{
	    pollfd{out_fd, POLLIN, 0}, pollfd{err_fd, POLLIN, 0}};
	const std::array<std::string *, 2> into{&out, &err};
	std::array<char, 65536> buf{};
	while (fds[0].fd >= 0 || fds[1].fd >= 0) {
		if (poll(fds.data(), fds.size(), -1) < 0) {
			if (errno == EINTR)
				continue;
			fail("poll");
		}
		for (std::size_t i = 0; i < fds.size(); ++i) {
			pollfd &p = fds.at(i);
			if (p.fd < 0 || p.revents == 0)
				continue;
			const ssize_t n = read(p.fd, buf.data(), buf.size());
			if (n > 0)
				into.at(i)->append(
				    buf.data(), static_cast<std::size_t>(n));
			else if (n == 0 || errno != EINTR)
				p.fd = -1;
		}
	}
}

}  // namespace

bool outcome::exited() const
{
	return WIFEXITED(wait_status);
}

int outcome::status() const
{
	return WEXITSTATUS(wait_status);
}

outcome run(const std::string &program, const std::vector<std::string> &argv,
    sink out, const std::vector<std::string> &environment)
{
	std::vector<std::string> words = argv;
	std::vector<char *> cargv = word_array(words);
	std::vector<std::string> variables = environment;
	std::vector<char *> cenv = word_array(variables);

	pipe_pair out_pipe;
	pipe_pair err_pipe;
	descriptor terminal;
	if (out == sink::hung_up_terminal)
		open_hung_up_terminal(terminal);
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	switch (out) {
	case sink::pipe:
		posix_spawn_file_actions_adddup2(
		    &actions, out_pipe.write_end.fd, 1);
		break;
	case sink::closed:
		posix_spawn_file_actions_addclose(&actions, 1);
		break;
	case sink::full_device:
		posix_spawn_file_actions_addopen(
		    &actions, 1, "/dev/full", O_WRONLY, 0);
		break;
	case sink::hung_up_terminal:
		posix_spawn_file_actions_adddup2(&actions, terminal.fd, 1);
		break;
	}
	posix_spawn_file_actions_adddup2(&actions, err_pipe.write_end.fd, 2);

	pid_t pid = 0;
	const int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr,
	    cargv.data(), environment.empty() ? environ : cenv.data());
	posix_spawn_file_actions_destroy(&actions);
	if (rc != 0) {
		errno = rc;
		fail("posix_spawnp");
	}

	out_pipe.write_end.reset();
	err_pipe.write_end.reset();
	outcome result;
	drain(out == sink::pipe ? out_pipe.read_end.fd : -1,
	    err_pipe.read_end.fd, result.out, result.err);
	while (waitpid(pid, &result.wait_status, 0) < 0)
		if (errno != EINTR)
			fail("waitpid");
	return result;
}

std::string setting(const char *name, const std::string &built_in)
{
	// Read before any thread starts, and never written.
	const char *given = std::getenv(name);  // NOLINT(concurrency-mt-unsafe)
	return given != nullptr && *given != '\0' ? given : built_in;
}

const std::string &converter_program()
{
	static const std::string path =
	    setting("CONVERTER_PROGRAM", CONVERTER_PATH);
	return path;
}

outcome run_program(const std::vector<std::string> &argv, sink out,
    const std::vector<std::string> &environment)
{
	std::vector<std::string> words;
	// Empty unless the build runs its programs through an emulator.
	const char *const emulator_words = CONVERTER_EMULATOR;
	const std::string_view emulator = emulator_words;
	for (std::size_t begin = 0, end = 0; begin < emulator.size();
	     begin = end + 1) {
		end = std::min(emulator.find(' ', begin), emulator.size());
		if (end > begin)
			words.emplace_back(emulator.substr(begin, end - begin));
	}
	if (words.empty())
		return run(converter_program(), argv, out, environment);
	words.push_back(converter_program());
	if (!argv.empty())
		words.insert(words.end(), argv.begin() + 1, argv.end());
	return run(words.front(), words, out, environment);
}

outcome run_converter(const std::vector<std::string> &args, sink out,
    const std::vector<std::string> &environment)
{
	std::vector<std::string> argv{"converter"};
	argv.insert(argv.end(), args.begin(), args.end());
	return run_program(argv, out, environment);
}
