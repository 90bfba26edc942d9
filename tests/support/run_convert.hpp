// tavrin-convert through the shared runner. A test target that includes this
// defines TAVRIN_CONVERT_PATH, the program's path in the build tree.
#pragma once

#include "run_program.hpp"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::test {

/// Runs tavrin-convert with `args` as run_program runs a program: `input` on
/// stdin, `env` ("NAME=VALUE") over this process's environment, and the data
/// segment capped at `data_limit` bytes unless it is 0.
inline Run run_convert(std::vector<std::string> args, std::string_view input = {},
                       const std::vector<std::string>& env = {}, std::size_t data_limit = 0) {
  args.insert(args.begin(), TAVRIN_CONVERT_PATH);
  return run_program(args, input, env, data_limit);
}

} // namespace tavrin::test
