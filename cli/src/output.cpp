#include "tavrin/cli/output.hpp"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <cstdlib>
#include <sys/stat.h>
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

#ifdef _WIN32

namespace {

// The errno of a Win32 error from creating, writing or renaming a file, so a
// message reads the same as on other systems.
int errno_of(DWORD error) {
  switch (error) {
  case ERROR_FILE_NOT_FOUND:
  case ERROR_PATH_NOT_FOUND:
  case ERROR_INVALID_DRIVE: return ENOENT;
  case ERROR_ACCESS_DENIED:
  case ERROR_WRITE_PROTECT: return EACCES;
  case ERROR_SHARING_VIOLATION:
  case ERROR_LOCK_VIOLATION: return EBUSY;
  case ERROR_DISK_FULL:
  case ERROR_HANDLE_DISK_FULL: return ENOSPC;
  case ERROR_FILENAME_EXCED_RANGE:
  case ERROR_INVALID_NAME: return EINVAL;
  case ERROR_NOT_SAME_DEVICE: return EXDEV;
  default: return EIO;
  }
}

} // namespace

std::error_code replace_file(const std::string& path, std::string_view data) {
  auto failed = [](int error) { return std::error_code(error, std::generic_category()); };
  const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, nullptr, 0);
  if (n <= 1) return failed(n == 1 ? ENOENT : EINVAL);
  std::wstring name(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, name.data(), n);
  name.pop_back();  // the terminating NUL
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return failed(EISDIR);

  // The new file beside the old one: the rename stays within one volume. A
  // name without a folder is in the current one ("C:x.svg" on drive C's).
  const auto slash = name.find_last_of(L"\\/");
  std::wstring folder;
  if (slash != std::wstring::npos)
    folder = name.substr(0, slash + 1);
  else if (name.size() >= 2 && name[1] == L':')
    folder = name.substr(0, 2);
  std::wstring temporary;
  int fd = -1;
  for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temporary = folder + L"tavrin-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(attempt) + L".tmp";
    fd = ::_wopen(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0 && errno != EEXIST) return failed(errno);
  }
  if (fd < 0) return failed(EEXIST);
  const bool written = write_all(fd, data) && ::_commit(fd) == 0;
  int error = written ? 0 : errno;
  if (::_close(fd) != 0 && error == 0) error = errno;
  // An existing file is replaced keeping its attributes and its access
  // rights (ReplaceFileW); a new one is the temporary file renamed.
  if (error == 0) {
    const bool replaced =
        attributes != INVALID_FILE_ATTRIBUTES
            ? ::ReplaceFileW(name.c_str(), temporary.c_str(), nullptr,
                             REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
            : ::MoveFileExW(temporary.c_str(), name.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    if (!replaced) error = errno_of(::GetLastError());
  }
  if (error != 0) {
    ::_wunlink(temporary.c_str());
    return failed(error);
  }
  return {};
}

#else

std::error_code replace_file(const std::string& path, std::string_view data) {
  auto failed = [](int error) { return std::error_code(error, std::generic_category()); };
  if (path.empty()) return failed(ENOENT);
  // Through a link to the file it names, so the link stays a link.
  std::string target = path;
  struct stat link_status {};
  if (::lstat(path.c_str(), &link_status) == 0 && S_ISLNK(link_status.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  struct stat status {};
  const bool exists = ::stat(target.c_str(), &status) == 0;
  if (exists && S_ISDIR(status.st_mode)) return failed(EISDIR);
  // The rename needs only the folder writable; a file its owner made
  // read-only stays as it is, as when it was written in place.
  if (exists && ::access(target.c_str(), W_OK) != 0) return failed(errno);
  // The old file's permissions, or a new file's.
  mode_t mode = 0;
  if (exists) {
    mode = status.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }

  // The new file beside the old one: a rename within one file system.
  const auto slash = target.rfind('/');
  std::string temporary = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  temporary += ".tavrin-XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return failed(errno);
  const bool written = ::fchmod(fd, mode) == 0 && write_all(fd, data) && ::fsync(fd) == 0;
  int error = written ? 0 : errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return failed(error);
  }
  return {};
}

#endif

} // namespace tavrin::cli
