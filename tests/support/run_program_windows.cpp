// run_program for Windows: CreateProcessW with three pipes, a thread each for
// stdin and stderr while this one reads stdout, and a job object for the
// memory limit. Text crosses the boundary as UTF-8 on this side and UTF-16
// on the system's.
#include "run_program.hpp"

#include <algorithm>
#include <cwchar>
#include <stdexcept>
#include <string>
#include <thread>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace tavrin::test {

namespace {

std::wstring wide(std::string_view text) {
  if (text.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                      static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) throw std::invalid_argument("not UTF-8: " + std::string(text.substr(0, 80)));
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

// One argument as the C runtime's command-line parser reads it back:
// quoted when it has a blank or a quote or is empty; a quote escaped with a
// backslash, and backslashes doubled only where a quote follows them.
void append_quoted(std::wstring& line, const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(2 * backslashes, L'\\');
  line += L'"';
}

// This process's environment with `extra` on top, as the block CreateProcessW
// takes: NAME=VALUE strings, each ended by a NUL, and one more NUL. Names are
// compared without case, as Windows does.
std::wstring environment_block(const std::vector<std::string>& extra) {
  std::vector<std::wstring> added;
  for (const auto& e : extra) {
    if (e.find('=') == std::string::npos || e.front() == '=')
      throw std::invalid_argument("environment entry is not NAME=VALUE: " + e);
    added.push_back(wide(e));
  }
  std::wstring block;
  wchar_t* const strings = ::GetEnvironmentStringsW();
  for (const wchar_t* e = strings; *e; e += std::wcslen(e) + 1) {
    const std::wstring_view entry(e);
    bool replaced = false;
    for (const std::wstring_view add : added) {
      const std::size_t name_end = add.find(L'=') + 1;
      replaced = replaced || (entry.size() >= name_end &&
                              ::CompareStringOrdinal(entry.data(), static_cast<int>(name_end), add.data(),
                                                     static_cast<int>(name_end), TRUE) == CSTR_EQUAL);
    }
    if (!replaced) block.append(entry).push_back(L'\0');
  }
  ::FreeEnvironmentStringsW(strings);
  for (const auto& a : added) block.append(a).push_back(L'\0');
  block.push_back(L'\0');
  return block;
}

// A handle closed when it goes out of scope.
struct Handle {
  HANDLE h = nullptr;
  Handle() = default;
  explicit Handle(HANDLE handle) : h(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { reset(); }
  void reset() {
    if (h != nullptr && h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    h = nullptr;
  }
};

// A pipe whose end for the child is inherited and whose end for this
// process is not, so a child started meanwhile cannot hold it open.
void make_pipe(Handle& read_end, Handle& write_end, bool child_reads) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  if (!::CreatePipe(&read_end.h, &write_end.h, &inherit, 0)) throw std::runtime_error("CreatePipe failed");
  ::SetHandleInformation(child_reads ? write_end.h : read_end.h, HANDLE_FLAG_INHERIT, 0);
}

void read_all(HANDLE from, std::string& into) {
  char buffer[65536];
  DWORD n = 0;
  while (::ReadFile(from, buffer, sizeof buffer, &n, nullptr) && n > 0) into.append(buffer, n);
}

// What a text-mode read on Windows gives: each "\r\n" as "\n". Returns how
// many there were.
std::size_t read_as_text(std::string& text) {
  std::size_t kept = 0, pairs = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++pairs;
      continue;
    }
    text[kept++] = text[i];
  }
  text.resize(kept);
  return pairs;
}

} // namespace

Run run_program(const std::vector<std::string>& argv, std::string_view input,
                const std::vector<std::string>& env, std::size_t data_limit) {
  if (argv.empty()) throw std::invalid_argument("no program to run");
  const std::wstring program = wide(argv[0]);
  std::wstring line;
  for (const auto& a : argv) {
    if (!line.empty()) line += L' ';
    append_quoted(line, wide(a));
  }
  // CreateProcessW's limit, checked here so a test that passes it fails
  // plainly instead of getting whatever the system makes of it.
  if (line.size() >= 32767) throw std::length_error("a Windows command line holds at most 32766 characters");
  std::wstring environment = environment_block(env);

  Handle in_read, in_write, out_read, out_write, err_read, err_write;
  make_pipe(in_read, in_write, true);
  make_pipe(out_read, out_write, false);
  make_pipe(err_read, err_write, false);

  // The memory limit: a job whose processes may commit at most `data_limit`
  // bytes each; an allocation past it fails in the child.
  Handle job;
  if (data_limit != 0) {
    job.h = ::CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY | JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    limits.ProcessMemoryLimit = data_limit;
    if (job.h == nullptr ||
        !::SetInformationJobObject(job.h, JobObjectExtendedLimitInformation, &limits, sizeof limits))
      throw std::runtime_error("cannot set up the job object for the memory limit");
  }

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in_read.h;
  startup.hStdOutput = out_write.h;
  startup.hStdError = err_write.h;
  PROCESS_INFORMATION process{};
  const auto start = std::chrono::steady_clock::now();
  // Started suspended, so it runs no instruction outside the job.
  if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                        CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED | CREATE_NO_WINDOW,
                        environment.data(), nullptr, &startup, &process))
    throw std::runtime_error("cannot start " + argv[0] + " (error " + std::to_string(::GetLastError()) + ")");
  Handle child(process.hProcess), thread(process.hThread);
  if (job.h != nullptr && !::AssignProcessToJobObject(job.h, child.h)) {
    ::TerminateProcess(child.h, 1);
    throw std::runtime_error("cannot put the child in its job");
  }
  ::ResumeThread(thread.h);
  // Only the child holds these ends now: end of file comes when it exits.
  in_read.reset();
  out_write.reset();
  err_write.reset();

  Run run;
  std::thread feeder([&] {
    std::size_t written = 0;
    while (written < input.size()) {
      DWORD n = 0;
      const auto chunk = static_cast<DWORD>(std::min<std::size_t>(input.size() - written, 1 << 20));
      if (!::WriteFile(in_write.h, input.data() + written, chunk, &n, nullptr)) break;  // it stopped reading
      written += n;
    }
    in_write.reset();
  });
  std::thread errors([&] { read_all(err_read.h, run.err); });
  read_all(out_read.h, run.out);
  feeder.join();
  errors.join();

  ::WaitForSingleObject(child.h, INFINITE);
  run.elapsed = std::chrono::steady_clock::now() - start;
  DWORD code = 0;
  ::GetExitCodeProcess(child.h, &code);
  // An exception that ended the process (0xC0000005 and the like) is not an
  // exit status, as a signal is not on Linux.
  run.status = code >= 0xC0000000u ? -1 : static_cast<int>(code);
  run.crlf = read_as_text(run.out) + read_as_text(run.err);
  return run;
}

} // namespace tavrin::test
