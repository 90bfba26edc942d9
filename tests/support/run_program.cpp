#include "run_program.hpp"

#include <clocale>
#include <string>

namespace tavrin::test {

bool locale_available(const char* name) {
  const char* before = std::setlocale(LC_ALL, nullptr);
  const std::string saved = before ? before : "C";
  const bool ok = std::setlocale(LC_ALL, name) != nullptr;
  std::setlocale(LC_ALL, saved.c_str());
  return ok;
}

} // namespace tavrin::test

// run_program for POSIX systems; Windows has its own in run_program_windows.cpp,
// and node (the web build) in run_program_node.cpp.
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)

#include <cerrno>
#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tavrin::test {

namespace {

// Close-on-exec, so a child gets only the three ends it is given as 0, 1, 2.
void make_pipe(int fds[2]) {
  if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
}

// This process's environment with `extra` on top, built before the fork:
// between fork and exec only async-signal-safe calls are made.
std::vector<std::string> child_environment(const std::vector<std::string>& extra) {
  for (const auto& e : extra)
    if (e.find('=') == std::string::npos || e.front() == '=')
      throw std::invalid_argument("environment entry is not NAME=VALUE: " + e);
  std::vector<std::string> entries;
  for (char** e = environ; *e; ++e) {
    const std::string_view entry(*e);
    bool replaced = false;
    for (const std::string_view add : extra) {
      const std::size_t name_end = add.find('=') + 1;  // the name with its '='
      replaced = replaced || entry.substr(0, name_end) == add.substr(0, name_end);
    }
    if (!replaced) entries.emplace_back(entry);
  }
  entries.insert(entries.end(), extra.begin(), extra.end());
  return entries;
}

} // namespace

Run run_program(const std::vector<std::string>& argv, std::string_view input,
                const std::vector<std::string>& env, std::size_t data_limit) {
  if (argv.empty()) throw std::invalid_argument("no program to run");
  std::vector<std::string> arg_text = argv;
  std::vector<char*> args;
  for (auto& a : arg_text) args.push_back(a.data());
  args.push_back(nullptr);
  std::vector<std::string> env_text = child_environment(env);
  std::vector<char*> envp;
  for (auto& e : env_text) envp.push_back(e.data());
  envp.push_back(nullptr);

  int in[2], out[2], err[2];
  make_pipe(in);
  make_pipe(out);
  make_pipe(err);

  // A child that stops reading must not kill this process with SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);

  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    std::signal(SIGPIPE, SIG_DFL);  // an ignored signal would stay ignored across exec
    if (data_limit != 0) {
      const rlimit limit{data_limit, data_limit};
      if (::setrlimit(RLIMIT_DATA, &limit) != 0) ::_exit(126);
    }
    ::execve(args[0], args.data(), envp.data());
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  ::fcntl(in[1], F_SETFL, O_NONBLOCK);

  Run run;
  std::size_t written = 0;
  int to_child = in[1];
  if (input.empty()) {
    ::close(to_child);
    to_child = -1;
  }
  int from_out = out[0], from_err = err[0];
  char buffer[65536];
  while (from_out >= 0 || from_err >= 0) {
    pollfd fds[3] = {{to_child, POLLOUT, 0}, {from_out, POLLIN, 0}, {from_err, POLLIN, 0}};
    if (::poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("poll failed");
    }
    if (to_child >= 0 && (fds[0].revents & (POLLOUT | POLLERR | POLLHUP))) {
      const ssize_t n = ::write(to_child, input.data() + written, input.size() - written);
      if (n > 0) written += static_cast<std::size_t>(n);
      const bool child_left = n < 0 && errno != EAGAIN && errno != EINTR;
      if (child_left || written == input.size()) {
        ::close(to_child);  // done, or the child stopped reading
        to_child = -1;
      }
    }
    for (int k = 1; k < 3; ++k) {
      int& fd = k == 1 ? from_out : from_err;
      if (fd < 0 || !(fds[k].revents & (POLLIN | POLLERR | POLLHUP))) continue;
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n > 0) {
        (k == 1 ? run.out : run.err).append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        ::close(fd);
        fd = -1;
      }
    }
  }
  if (to_child >= 0) ::close(to_child);

  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
  run.elapsed = std::chrono::steady_clock::now() - start;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

} // namespace tavrin::test

#endif
