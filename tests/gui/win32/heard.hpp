#pragma once

// What a screen reader reads of a window through Active Accessibility, for
// the Win32 window's tests: from the test's own process (form1_test.cpp) and
// from another (tavrin_exe_test.cpp, through COM's marshalling).

#include "form1.hpp"

#include <oleacc.h>

#include <string>

namespace tavrin::test {

// What a screen reader reads of a window's client area, or of one of its
// simple children.
struct Heard {
  std::string name, value;
  long role = 0, state = 0;
};

inline Heard heard(HWND window, LONG child = CHILDID_SELF) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible), reinterpret_cast<void**>(&object))))
    return {"<no object>", "", 0, 0};
  Heard out;
  VARIANT whom, answer;
  VariantInit(&whom);
  whom.vt = VT_I4;
  whom.lVal = child;
  BSTR text = nullptr;
  if (object->get_accName(whom, &text) == S_OK && text) out.name = tavrin::ui::narrow(text);
  SysFreeString(text);
  text = nullptr;
  if (object->get_accValue(whom, &text) == S_OK && text) out.value = tavrin::ui::narrow(text);
  SysFreeString(text);
  if (object->get_accRole(whom, &answer) == S_OK && answer.vt == VT_I4) out.role = answer.lVal;
  if (object->get_accState(whom, &answer) == S_OK && answer.vt == VT_I4) out.state = answer.lVal;
  object->Release();
  return out;
}

} // namespace tavrin::test
