// Runs a program as a child process with chosen arguments, environment
// additions and standard input, and collects what it printed, its exit
// status, its peak memory and how long it took.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace proof {

/// What one run of a program gave.
struct RunResult {
  int exit_status = -1;               ///< the exit status, or -1 when it did not exit normally
  std::string out;                    ///< everything written to stdout
  std::string err;                    ///< everything written to stderr
  std::chrono::duration<double> elapsed{};  ///< wall time from start to exit
};

/// Runs `argv` (argv[0] is the program's path) with `env` set on top of this
/// process's environment, feeding it `input` on stdin while reading its
/// output, so no size of either can deadlock the two. A `data_limit` other
/// than 0 caps the child's data segment (RLIMIT_DATA: its heap and private
/// mappings) at that many bytes, so a program that kept its whole input
/// would fail to allocate. (The child's peak RSS as the kernel reports it
/// includes this process's pages from before the exec, so it cannot show
/// the program's own use.)
RunResult run_program(const std::vector<std::string>& argv,
                      const std::vector<std::pair<std::string, std::string>>& env,
                      const std::string& input, std::size_t data_limit = 0);

} // namespace proof
