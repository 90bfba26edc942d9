#include "tavrin/cli/output.hpp"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <string>

#ifdef _WIN32
#include <io.h>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace tavrin::cli {

namespace {

#ifdef _WIN32
// A console shows narrow text through its code page, and a C runtime's text
// mode may recode it again on the way; WriteConsoleW takes the characters
// themselves. Its lines end in CRLF like the ones written to files.
bool write_console(HANDLE console, std::string_view data) {
  std::wstring text;
  if (!data.empty()) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, data.data(), static_cast<int>(data.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, data.data(), static_cast<int>(data.size()), wide.data(), n);
    text.reserve(wide.size() + wide.size() / 16);
    for (std::size_t i = 0; i < wide.size(); ++i) {
      if (wide[i] == L'\n' && (i == 0 || wide[i - 1] != L'\r')) text += L'\r';
      text += wide[i];
    }
  }
  // Moderate pieces: old consoles refused single writes near 64 KiB.
  constexpr std::size_t piece = 8192;
  for (std::size_t at = 0; at < text.size();) {
    DWORD written = 0;
    const auto n = static_cast<DWORD>(std::min(piece, text.size() - at));
    if (!::WriteConsoleW(console, text.data() + at, n, &written, nullptr) || written == 0) {
      errno = EIO;
      return false;
    }
    at += written;
  }
  return true;
}
#endif

} // namespace

bool write_all(int fd, std::string_view data) {
#ifdef _WIN32
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode)) return write_console(handle, data);
  using Count = unsigned int;  // what _write counts in
#else
  using Count = std::size_t;
#endif
  constexpr std::size_t most = std::size_t{1} << 30;  // a call's share, which every system takes
  while (!data.empty()) {
    const auto n = ::write(fd, data.data(), static_cast<Count>(std::min(most, data.size())));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::FILE* open_for_writing(const std::string& path) {
#ifdef _WIN32
  const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, nullptr, 0);
  if (n <= 0) {
    errno = EINVAL;
    return nullptr;
  }
  std::wstring name(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, name.data(), n);
  return ::_wfopen(name.c_str(), L"wb");
#else
  return std::fopen(path.c_str(), "wb");
#endif
}

} // namespace tavrin::cli
