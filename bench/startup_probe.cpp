// Measures a window's start-up from outside the program: starts the command,
// watches the X server for the map of a top-level window with the given
// title, then captures the window's pixels every few milliseconds until it
// has stood still for the settle time, and prints
//   mapped_ms=M painted_ms=P
// from the fork: M when the window was mapped, P when its pixels first
// became what they finally settled on (the first complete paint; a later
// repaint with other content moves P, so it is never early). Then it asks the
// window to close (WM_DELETE_WINDOW, as the close box does) and waits for the
// program to end, so a wrapper like /usr/bin/time sees a normal exit.
//
//   tavrin_startup_probe TITLE SETTLE_MS COMMAND [ARGS...]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start, Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(t - start).count();
}

// The window's title: _NET_WM_NAME (UTF-8) when set, else WM_NAME.
std::string title_of(Display* d, Window w) {
  const Atom net_wm_name = XInternAtom(d, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(d, w, net_wm_name, 0, 1024, False, utf8, &type, &format, &count, &after,
                         &data) == Success && data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
    if (!title.empty()) return title;
  }
  char* name = nullptr;
  if (XFetchName(d, w, &name) && name) {
    title = name;
    XFree(name);
  }
  return title;
}

// A hash of the window's pixels (FNV-1a over the image rows), or nullopt
// when the window cannot be captured (not viewable any more).
std::optional<std::uint64_t> capture(Display* d, Window w) {
  XWindowAttributes a{};
  if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable) return std::nullopt;
  XImage* image = XGetImage(d, w, 0, 0, static_cast<unsigned>(a.width),
                            static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
  if (!image) return std::nullopt;
  std::uint64_t h = 1469598103934665603ull;
  const auto row_bytes = static_cast<std::size_t>(a.width) * static_cast<std::size_t>(image->bits_per_pixel / 8);
  for (int y = 0; y < image->height; ++y) {
    const auto* row = reinterpret_cast<const unsigned char*>(image->data) +
                      static_cast<std::size_t>(y) * static_cast<std::size_t>(image->bytes_per_line);
    for (std::size_t i = 0; i < row_bytes; ++i) h = (h ^ row[i]) * 1099511628211ull;
  }
  XDestroyImage(image);
  return h;
}

int ignore_errors(Display*, XErrorEvent*) { return 0; }  // a window may vanish mid-request

} // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s TITLE SETTLE_MS COMMAND [ARGS...]\n", argv[0]);
    return 2;
  }
  const std::string wanted = argv[1];
  const auto settle = std::chrono::milliseconds(std::atoi(argv[2]));
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "startup_probe: cannot open the display\n");
    return 2;
  }
  fcntl(ConnectionNumber(d), F_SETFD, FD_CLOEXEC);  // not the program's to inherit
  XSetErrorHandler(ignore_errors);
  const Window root = DefaultRootWindow(d);
  XSelectInput(d, root, SubstructureNotifyMask);
  XSync(d, False);

  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[3], argv + 3);
    _exit(127);
  }
  if (child < 0) return 2;

  // Wait for the map of the window with the title (the title is set before
  // the map, but a window mapped first is checked again until it has one).
  Window window = 0;
  Clock::time_point mapped{};
  std::vector<std::pair<Window, Clock::time_point>> maps;
  const auto give_up = start + std::chrono::seconds(20);
  while (!window && Clock::now() < give_up) {
    while (XPending(d)) {
      XEvent e;
      XNextEvent(d, &e);
      if (e.type == MapNotify && !e.xmap.override_redirect) maps.emplace_back(e.xmap.window, Clock::now());
    }
    for (const auto& [w, t] : maps)
      if (title_of(d, w) == wanted) {
        window = w;
        mapped = t;
        break;
      }
    if (!window) std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  if (!window) {
    std::fprintf(stderr, "startup_probe: no window titled '%s' was mapped\n", wanted.c_str());
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return 1;
  }

  // Capture until the pixels have stood still for the settle time.
  std::optional<std::uint64_t> last;
  Clock::time_point last_change = mapped;
  for (;;) {
    const auto now = Clock::now();
    const auto h = capture(d, window);
    if (h != last) {
      last = h;
      last_change = now;
    }
    if (now - last_change >= settle) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }

  std::printf("mapped_ms=%.1f painted_ms=%.1f\n", ms_since(start, mapped), ms_since(start, last_change));
  std::fflush(stdout);

  // Close the window as its close box would.
  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = window;
  close.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  close.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, window, False, NoEventMask, &close);
  XFlush(d);
  int status = 0;
  for (int i = 0; i < 500; ++i) {
    if (waitpid(child, &status, WNOHANG) == child) {
      XCloseDisplay(d);
      return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::fprintf(stderr, "startup_probe: the program did not close\n");
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return 1;
}
