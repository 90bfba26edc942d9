// Built with the programs' flags by tests/install: a copy of a length known
// only at run time into a buffer of known size, which the C library's
// fortified headers turn into the checked call (__memcpy_chk).
#include <cstddef>
#include <cstring>

/// The probe's buffer, outside the function so the copy cannot be dropped.
char tavrin_fortify_probe_buffer[16];

/// Copies `n` bytes of `text` into the probe's buffer.
void tavrin_fortify_probe(const char* text, std::size_t n) {
  std::memcpy(tavrin_fortify_probe_buffer, text, n);
}
