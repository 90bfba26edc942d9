#pragma once

// What screen readers are told about a control that no label of the window
// names, through Active Accessibility (MSAA): Windows' own object for the
// control, with the name from the controls table, and for read-only text
// also its role, state and value, and its line as a child.

#include "form1_layout.hpp"

#include <windows.h>

#include <string_view>

namespace tavrin::ui {

/// What a screen reader hears of a control beyond Windows' own object for it.
struct AccessibleFacts {
  std::string_view name;       ///< its name, whatever it shows (UTF-8)
  /// read-only text: role text, value the window's text, and one child, the
  /// line (line_child): static text named by the window's text
  bool read_only_text = false;
};

/// The child id of read-only text's line.
inline constexpr LONG line_child = 1;

/// True when a WM_GETOBJECT's lparam asks for the window's client area,
/// the object screen readers read.
bool asks_for_client(LPARAM lparam);

/// The answer to WM_GETOBJECT for `control`'s client area: Windows' standard
/// object for it, telling `facts` instead of what it would say itself. Built
/// on demand, for each asking client; 0 when no object could be made.
LRESULT client_object(HWND control, WPARAM wparam, const AccessibleFacts& facts);

/// Gives a control of Windows' own (an edit box) the accessible name of its
/// row of the controls table: it then answers WM_GETOBJECT with client_object.
void name_for_screen_readers(HWND control, const ControlSpec& design);

/// Marks the line of read-only text `control` a polite live region, so screen
/// readers read its name, the line, when it raises
/// EVENT_OBJECT_LIVEREGIONCHANGED, wherever the focus is. False where the
/// system cannot annotate (Wine's oleacc); nothing else changes then.
bool mark_live_region(HWND control);

/// Removes what mark_live_region added; called as the control goes.
void unmark_live_region(HWND control);

/// The event that tells screen readers a live region changed; newer than
/// MinGW's headers.
inline constexpr DWORD event_live_region_changed = 0x8019;

} // namespace tavrin::ui
