#pragma once

#include <windows.h>

namespace tavrin::ui {

/// Window class of the output box `picConverted`.
///
/// A focusable child window with a sunken border (WS_EX_CLIENTEDGE) showing
/// its bitmap at the inner top-left corner, cut at the edges, and one printed
/// line over it in its font (WM_SETFONT). The printed line is the window's
/// text: WM_SETTEXT prints (an empty text clears), WM_GETTEXT reads it, and
/// repaints draw it again. A click only takes the focus; Ctrl+C or the
/// context menu's "Copy" copies the line to the clipboard.
///
/// Screen readers see read-only text named "Converted value" (the controls
/// table's name) whose value is the line, and hear of a new line once per
/// action (EVENT_OBJECT_VALUECHANGE). Its one child, static text named by the
/// line, is a polite live region: readers speak a live region's name.
inline constexpr const wchar_t* output_box_class = L"TavrinOutputBox";

/// Draws one of the window's bitmaps with its top-left corner at the top-left
/// of `dc`: unscaled at 96 DPI, grown with the DPI as the twips are. False
/// when there is no bitmap.
bool draw_artwork(HDC dc, HBITMAP bitmap, int dpi);

/// Registers the output box's window class once for the process.
void register_output_box(HINSTANCE instance);

/// Gives an output box its look: the bitmap under the line, drawn scaled by
/// `dpi` / 96 (unscaled at 96 DPI), or none for plain COLOR_WINDOW; and the
/// colour of the line and of the focus ring.
void set_output_look(HWND box, HBITMAP bitmap, COLORREF ink, int dpi);

/// Copies the box's printed line to the clipboard as Unicode text; false when
/// the box shows nothing or the clipboard is busy.
bool copy_output_line(HWND box);

} // namespace tavrin::ui
