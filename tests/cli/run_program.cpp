#include "run_program.hpp"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tavrin::test {

Run run_convert(const std::vector<std::string>& args, std::string_view input,
                const std::vector<std::string>& env) {
  std::vector<std::string> argv_s{TAVRIN_CONVERT_PATH};
  argv_s.insert(argv_s.end(), args.begin(), args.end());
  std::vector<std::string> env_s;
  for (char** e = environ; *e; ++e) {
    std::string_view entry(*e);
    bool replaced = false;
    for (const auto& extra : env) {
      auto eq = extra.find('=');
      if (entry.substr(0, eq + 1) == std::string_view(extra).substr(0, eq + 1)) replaced = true;
    }
    if (!replaced) env_s.emplace_back(entry);
  }
  env_s.insert(env_s.end(), env.begin(), env.end());
  std::vector<char*> argv_p, env_p;
  for (auto& a : argv_s) argv_p.push_back(a.data());
  argv_p.push_back(nullptr);
  for (auto& e : env_s) env_p.push_back(e.data());
  env_p.push_back(nullptr);

  int in[2], out[2], err[2];
  if (pipe(in) || pipe(out) || pipe(err)) throw std::runtime_error("pipe failed");
  // A program that stops reading must not kill the test with SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    signal(SIGPIPE, SIG_DFL);
    execve(argv_p[0], argv_p.data(), env_p.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  fcntl(in[1], F_SETFL, O_NONBLOCK);

  Run run;
  std::size_t sent = 0;
  int in_fd = in[1];
  if (input.empty()) { close(in_fd); in_fd = -1; }
  bool out_open = true, err_open = true;
  char buf[65536];
  while (out_open || err_open) {
    pollfd fds[3] = {{out_open ? out[0] : -1, POLLIN, 0},
                     {err_open ? err[0] : -1, POLLIN, 0},
                     {in_fd, POLLOUT, 0}};
    if (poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("poll failed");
    }
    if (in_fd >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
      const ssize_t n = write(in_fd, input.data() + sent, input.size() - sent);
      if (n > 0) sent += static_cast<std::size_t>(n);
      if (n < 0 && errno != EAGAIN && errno != EINTR) sent = input.size();  // the reader left
      if (sent == input.size()) { close(in_fd); in_fd = -1; }
    }
    for (int k = 0; k < 2; ++k) {
      if (!(fds[k].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const ssize_t n = read(fds[k].fd, buf, sizeof buf);
      if (n > 0) (k == 0 ? run.out : run.err).append(buf, static_cast<std::size_t>(n));
      else if (n == 0 || errno != EINTR) (k == 0 ? out_open : err_open) = false;
    }
  }
  if (in_fd >= 0) close(in_fd);
  close(out[0]);
  close(err[0]);
  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {}
  run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  return run;
}

bool locale_available(const char* name) {
  const char* before = std::setlocale(LC_ALL, nullptr);
  std::string saved = before ? before : "C";
  const bool ok = std::setlocale(LC_ALL, name) != nullptr;
  std::setlocale(LC_ALL, saved.c_str());
  return ok;
}

} // namespace tavrin::test
