// A program built with the programs' flags by tests/install, never run: it
// makes the two things that show hardening-check the fortified libc calls and
// the stack-clash probes, which Tavrin's programs may give it nothing to see by.
#include <cstddef>
#include <cstring>

namespace {
char buffer[16];
}

/// Copies as many bytes as there are arguments, into a frame sized likewise.
int main(int argc, char** argv) {
  const auto n = static_cast<std::size_t>(argc);
  // A length known only at run time into a buffer of known size: fortify
  // checks it (__memcpy_chk).
  std::memcpy(buffer, argv[0], n);
  // A frame sized at run time: stack-clash protection touches it page by page.
  auto* frame = static_cast<volatile char*>(__builtin_alloca(4096 * n));
  frame[0] = buffer[0];
  return frame[0] == '\0' ? 1 : 0;
}
