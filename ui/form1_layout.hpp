#pragma once

// The window Form1 as data: its size and place, its fonts and its eleven
// controls with their captions, places, fonts, looks, tab order and
// accessible names. Both front ends (ui/qt/ and ui/win32/) build the window
// from this table and write no geometry or caption of their own.

#include "tavrin/arithmetic_fault.hpp"

#include <array>
#include <cstddef>
#include <string_view>

namespace tavrin::ui {

/// A rectangle in twips (1440 twips an inch; 15 twips a pixel at 96 DPI).
struct TwipsRect {
  int left = 0;   ///< from the client area's left edge
  int top = 0;    ///< from the client area's top edge
  int width = 0;  ///< across
  int height = 0; ///< down
};

/// Twips in an inch, whatever the screen.
inline constexpr int twips_per_inch = 1440;

/// `twips` in pixels on a screen of `dpi` dots an inch, rounded to the nearest
/// pixel (at 96 DPI exactly a fifteenth).
constexpr int twips_to_pixels(int twips, int dpi = 96) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>(scaled >= 0 ? (scaled + twips_per_inch / 2) / twips_per_inch
                                      : -((-scaled + twips_per_inch / 2) / twips_per_inch));
}

/// The colours the window is designed in, by their classic system-colour index.
enum class SystemColour {
  standard = -1,        ///< the control's own standard colour
  active_caption = 2,   ///< "To:" over the near-white panel
  inactive_caption = 3, ///< the input box's background
  inactive_border = 11, ///< the window, and the other labels over the light-blue paper
};

/// The family a font falls back to when none of its named faces is installed.
enum class GenericFamily { serif, sans_serif, cursive };

/// A font by its faces in order of preference, at a size and weight.
///
/// The first face is the one the window was designed in (its Windows name);
/// the others are the nearest faces in Debian's fonts-liberation and
/// fonts-urw-base35 packages, for a desktop without it.
struct FontSpec {
  std::array<std::string_view, 3> faces; ///< preferred first; empty entries are skipped
  GenericFamily generic;                 ///< when no face is installed
  double points;                         ///< size in points
  int weight;                            ///< 400 regular, 700 bold
  bool italic;                           ///< slanted
  int charset;                           ///< Windows character set of the first face
};

/// Windows' character sets that the fonts name.
inline constexpr int western_charset = 0; ///< ANSI_CHARSET
inline constexpr int oem_charset = 255;   ///< OEM_CHARSET

/// Which font a control takes.
enum class FontRole { window, list, value, credit };

/// The four fonts, indexed by FontRole.
inline constexpr std::array<FontSpec, 4> fonts = {{
    // The window's own font, used by every control without one of its own.
    {{"Times New Roman", "Liberation Serif", ""}, GenericFamily::serif, 8.25, 400, false,
     western_charset},
    // The three drop-down lists.
    {{"MS Sans Serif", "Liberation Sans", "Nimbus Sans"}, GenericFamily::sans_serif, 8.25, 400,
     false, western_charset},
    // The input and output boxes.
    {{"Times New Roman", "Liberation Serif", ""}, GenericFamily::serif, 9.0, 700, false,
     western_charset},
    // The credit line.
    {{"Script", "Z003", "URW Chancery L"}, GenericFamily::cursive, 8.25, 400, true, oem_charset},
}};

/// The FontSpec of a role.
constexpr const FontSpec& font_of(FontRole role) { return fonts[static_cast<std::size_t>(role)]; }

/// What kind of control a row of the table is.
enum class ControlKind { list, text_box, output_box, label, button };

/// One control of Form1.
struct ControlSpec {
  std::string_view name;            ///< `cboType`, `Label1`, ...
  ControlKind kind;                 ///< list, text box, ...
  std::string_view caption;         ///< shown text; "&" marks a button's access key
  TwipsRect twips;                  ///< place in the client area
  FontRole font;                    ///< its own font, or the window's
  SystemColour text;                ///< text colour (labels)
  SystemColour back;                ///< background colour (the input box)
  int tab_index;                    ///< order of the Tab key; labels take no focus
  std::string_view accessible_name; ///< what a screen reader calls it
};

/// Where a caption's access key stands: the index of the letter after its
/// "&" (1 in "&Convert"), or npos for a caption without one.
constexpr std::size_t access_key_at(std::string_view caption) {
  const std::size_t at = caption.find('&');
  return at == std::string_view::npos || at + 1 >= caption.size() ? std::string_view::npos : at + 1;
}

/// A caption's access key as a capital letter ('C' for "&Convert"), or 0 for
/// a caption without one.
constexpr char access_key(std::string_view caption) {
  const std::size_t at = access_key_at(caption);
  if (at == std::string_view::npos) return 0;
  const char c = caption[at];
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

/// The line of credit text shown by `Label1`.
inline constexpr std::string_view credit_text = "Tavrin, engineering units by the table";

/// What the fault message says below the fault's name: an arithmetic fault
/// leaves the output box cleared and the window goes on with all that was typed.
/// An overflow is the typed value itself (1e400) or the result (1E+308
/// Kilometres to Millimetres), so the text holds for both.
constexpr std::string_view fault_advice(FaultKind kind) {
  return kind == FaultKind::overflow
             ? "The value or the result is beyond the largest number Tavrin can hold. "
               "Nothing was converted; everything typed is kept."
             : "The result is not a number. Nothing was converted; everything typed is kept.";
}

/// The one entry of the output box's context menu, which copies its line.
inline constexpr std::string_view copy_caption = "Copy";

/// The window's caption.
inline constexpr std::string_view form1_caption = "Tavrin";
/// The client area's size in twips (316 x 142 px at 96 DPI).
inline constexpr TwipsRect form1_client = {0, 0, 4740, 2130};
/// The client area's top-left corner on the screen, in twips (49, 95 px at 96 DPI).
inline constexpr int form1_left = 735, form1_top = 1425;
/// The window's colour setting; the background bitmap covers it everywhere.
inline constexpr SystemColour form1_colour = SystemColour::inactive_border;

/// Size of the background bitmap in pixels; larger than the client area.
inline constexpr int background_width = 361, background_height = 298;
/// Size of the output box's bitmap in pixels.
inline constexpr int output_bitmap_width = 300, output_bitmap_height = 214;

namespace detail {
using K = ControlKind;
using F = FontRole;
using C = SystemColour;
inline constexpr std::array<ControlSpec, 11> form1_controls = {{
    {"cboType", K::list, "", {120, 240, 1935, 315}, F::list, C::standard, C::standard, 0,
     "Select Type of Units"},
    {"cboOriginal", K::list, "", {120, 840, 2175, 315}, F::list, C::standard, C::standard, 1,
     "From:"},
    {"txtOriginal", K::text_box, "", {120, 1320, 2175, 285}, F::value, C::standard,
     C::inactive_caption, 2, "Value to convert"},
    {"cboConverted", K::list, "", {2520, 840, 2175, 315}, F::list, C::standard, C::standard, 3,
     "To:"},
    {"picConverted", K::output_box, "", {2520, 1320, 2175, 375}, F::value, C::standard,
     C::standard, 4, "Converted value"},
    {"Label1", K::label, credit_text, {1440, 1920, 2535, 255}, F::credit, C::inactive_border,
     C::standard, 5, ""},
    {"Label2", K::label, "From:", {120, 600, 495, 255}, F::window, C::inactive_border,
     C::standard, 6, ""},
    {"Label3", K::label, "To:", {2520, 600, 495, 255}, F::window, C::active_caption, C::standard,
     7, ""},
    {"Label4", K::label, "Select Type of Units", {120, 0, 1695, 255}, F::window,
     C::inactive_border, C::standard, 8, ""},
    {"cmdConvert", K::button, "&Convert", {120, 1800, 855, 255}, F::window, C::standard,
     C::standard, 9, "Convert"},
    {"cmdExit", K::button, "E&xit", {4200, 1800, 495, 255}, F::window, C::standard, C::standard,
     10, "Exit"},
}};
} // namespace detail

/// The eleven controls in tab order.
inline constexpr const std::array<ControlSpec, 11>& form1_controls = detail::form1_controls;

/// Where each control stands in form1_controls, by name, for the front ends.
enum class Control : std::size_t {
  cboType, cboOriginal, txtOriginal, cboConverted, picConverted,
  Label1, Label2, Label3, Label4, cmdConvert, cmdExit
};

/// The row of a control.
constexpr const ControlSpec& spec_of(Control c) {
  return form1_controls[static_cast<std::size_t>(c)];
}

/// A label and the control it names for screen readers (the label's buddy).
struct LabelFor {
  Control label; ///< the label whose caption names the control
  Control named; ///< the control it stands for
};

/// Which label names which list. A screen reader reads each list by its
/// label's caption, which is also the list's accessible name.
inline constexpr std::array<LabelFor, 3> form1_labels = {{
    {Control::Label4, Control::cboType},
    {Control::Label2, Control::cboOriginal},
    {Control::Label3, Control::cboConverted},
}};

namespace layout_checks {
constexpr bool labels_name_their_lists() {
  for (const LabelFor& pair : form1_labels) {
    const ControlSpec &label = spec_of(pair.label), &named = spec_of(pair.named);
    if (label.kind != ControlKind::label || label.caption != named.accessible_name) return false;
  }
  for (std::size_t i = 0; i < form1_controls.size(); ++i) {
    int labels = 0;
    for (const LabelFor& pair : form1_labels) labels += static_cast<std::size_t>(pair.named) == i;
    if (labels != (form1_controls[i].kind == ControlKind::list ? 1 : 0)) return false;
  }
  return true;
}
constexpr bool in_tab_order() {
  for (std::size_t i = 0; i < form1_controls.size(); ++i)
    if (form1_controls[i].tab_index != static_cast<int>(i)) return false;
  return true;
}
constexpr bool inside_client_width() {
  for (const ControlSpec& c : form1_controls)
    if (c.twips.left < 0 || c.twips.left + c.twips.width > form1_client.width) return false;
  return true;
}
constexpr bool labels_have_no_name_of_their_own() {
  for (const ControlSpec& c : form1_controls)
    if ((c.kind == ControlKind::label) == !c.accessible_name.empty()) return false;
  return true;
}
} // namespace layout_checks

static_assert(layout_checks::in_tab_order(), "the table lists the controls in tab order");
static_assert(layout_checks::inside_client_width(), "every control fits across the client area");
static_assert(layout_checks::labels_have_no_name_of_their_own(),
              "labels name other controls; every other control has a name");
static_assert(layout_checks::labels_name_their_lists(),
              "each list is named by one label, whose caption is the list's accessible name");
static_assert(spec_of(Control::cmdExit).name == "cmdExit" &&
                  spec_of(Control::picConverted).name == "picConverted",
              "Control follows the table's order");
static_assert(access_key(spec_of(Control::cmdConvert).caption) == 'C' &&
                  access_key(spec_of(Control::cmdExit).caption) == 'X' &&
                  access_key(spec_of(Control::Label2).caption) == 0,
              "Alt+C converts and Alt+X exits; labels have no access key");
static_assert(twips_to_pixels(form1_client.width) == 316 &&
                  twips_to_pixels(form1_client.height) == 142,
              "the client area is 316 x 142 px at 96 DPI");

} // namespace tavrin::ui
