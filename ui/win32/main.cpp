// Tavrin.exe: creates and shows the window; Form1 does the rest.
#include "form1.hpp"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  // The common controls of version 6 (named in the manifest), so the
  // controls are drawn in the user's theme.
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);
  tavrin::ui::Form1 form(instance);
  form.show(show_command);
  return tavrin::ui::message_loop(form);
}
