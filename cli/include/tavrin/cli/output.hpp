// Writing tavrin-convert's output, the one place that knows how text reaches
// a file, a pipe or a console on each system.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tavrin::cli {

/// Writes all of `data` (UTF-8 text) to the file descriptor `fd`, through
/// short and interrupted writes. On Windows a console gets it as UTF-16, so
/// every script shows whatever the console's code page; a file or a pipe
/// gets the bytes, with CRLF line ends from the C runtime's text mode.
/// Returns false, with errno set, when the output cannot be written.
bool write_all(int fd, std::string_view data);

/// Opens the file named `path` (UTF-8) for writing bytes, as fopen(path, "wb")
/// does; on Windows through its UTF-16 name, so any name works whatever the
/// code page. Null, with errno set, when it cannot.
std::FILE* open_for_writing(const std::string& path);

} // namespace tavrin::cli
