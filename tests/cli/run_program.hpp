#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrin::test {

/// What a finished program left behind.
struct Run {
  int status = -1;   ///< exit status, or -1 when it did not exit normally
  std::string out;   ///< everything written to stdout
  std::string err;   ///< everything written to stderr
};

/// Runs tavrin-convert with `args`, feeding `input` on stdin, with the
/// environment of this process plus `env` (NAME=VALUE entries replace any
/// of the same name).
Run run_convert(const std::vector<std::string>& args, std::string_view input = {},
                const std::vector<std::string>& env = {});

/// True when the C library can switch to `name` (the locale is installed).
bool locale_available(const char* name);

} // namespace tavrin::test
