// Runs a program as a child process with chosen arguments, environment
// additions and standard input, and collects what it printed, its exit status
// and how long it took. The tests of tavrin-convert, as a user runs it and
// under hostile input, all go through here.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::test {

/// The longest single argument the tests pass to a program. Linux takes one
/// argument up to 128 KiB (MAX_ARG_STRLEN); Windows takes a whole command
/// line of at most 32767 UTF-16 units, the program's path included.
#ifdef _WIN32
inline constexpr std::size_t long_argument = 30'000;
#else
inline constexpr std::size_t long_argument = 100'000;
#endif

/// What one finished run of a program left behind.
struct Run {
  int status = -1;                          ///< the exit status, or -1 when it did not exit normally
  std::string out;                          ///< everything written to stdout
  std::string err;                          ///< everything written to stderr
  std::chrono::duration<double> elapsed{};  ///< wall time from start to exit
  std::size_t crlf = 0;                     ///< Windows: the "\r\n" line ends read as "\n"
};

/// Runs `argv` (argv[0] is the program's path) with the environment of this
/// process plus `env` ("NAME=VALUE" entries replace any of the same name),
/// feeding it `input` on stdin while reading its output, so no size of either
/// can deadlock the two. A `data_limit` other than 0 caps the child's data
/// segment (RLIMIT_DATA: its heap and private mappings) at that many bytes,
/// so a program that kept its whole input would fail to allocate. (The
/// child's peak RSS as the kernel reports it includes this process's pages
/// from before the exec, so it cannot show the program's own use.)
/// On Windows the cap is a job object's limit on the memory the child
/// commits, and out and err are read as text ("\r\n" as "\n", counted in
/// Run::crlf), so the same expectations hold on both systems.
Run run_program(const std::vector<std::string>& argv, std::string_view input = {},
                const std::vector<std::string>& env = {}, std::size_t data_limit = 0);

/// True when the C library can switch to the locale `name` (it is installed).
bool locale_available(const char* name);

} // namespace tavrin::test
