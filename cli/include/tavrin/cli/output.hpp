// Writing tavrin-convert's output, the one place that knows how text reaches
// a file, a pipe or a console on each system.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace tavrin::cli {

/// Writes all of `data` (UTF-8 text) to the file descriptor `fd`, through
/// short and interrupted writes. On Windows a console gets it as UTF-16, so
/// every script shows whatever the console's code page; a file or a pipe
/// gets the bytes, with CRLF line ends from the C runtime's text mode.
/// Returns false, with errno set, when the output cannot be written.
bool write_all(int fd, std::string_view data);

/// Puts `data` into the file named `path` (UTF-8) whole or not at all: it is
/// written to a new file in the same folder, flushed to the disk, and renamed
/// over `path` (on Windows through UTF-16 names, so any name works whatever
/// the code page). The old file's permissions are kept, and a symbolic link
/// to an existing file stays a link: the file it names is replaced. On any
/// failure, a full disk included, the old file is as it was and the new one
/// is gone; the error says why.
std::error_code replace_file(const std::string& path, std::string_view data);

} // namespace tavrin::cli
