// The page's WebAssembly: the conversion, for page.js. The
// functions take and give NUL-ended UTF-8; a returned text lives until the
// next call.
#include "tavrin/arithmetic_fault.hpp"
#include "tavrin/convert.hpp"
#include "tavrin/number_text.hpp"

#include <emscripten/emscripten.h>

#include <string>
#include <string_view>

namespace {

std::string answer;      // the text last returned
std::string fault_text;  // the fault of the last conversion, or empty

} // namespace

extern "C" {

/// Converts the value text from one unit text to another as the window's
/// Convert does: the display form of the result (0 for a pair without a
/// rule), or with `exact` the shortest text that reads back to the same
/// double. On an arithmetic fault the answer is empty and tavrin_fault()
/// names it.
EMSCRIPTEN_KEEPALIVE const char* tavrin_convert(const char* value, const char* from, const char* to,
                                                int exact) {
  fault_text.clear();
  try {
    const double result = tavrin::convert(value, from, to);
    answer = exact != 0 ? tavrin::exact_form(result) : tavrin::display_form(result);
  } catch (const tavrin::ArithmeticFault& fault) {
    answer.clear();
    fault_text = tavrin::fault_name(fault.kind());
  }
  return answer.c_str();
}

/// The name of the fault the last conversion ended with ("Overflow"), or "".
EMSCRIPTEN_KEEPALIVE const char* tavrin_fault() { return fault_text.c_str(); }

} // extern "C"
