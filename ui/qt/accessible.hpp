#pragma once

namespace tavrin::ui {

/// Lets Qt describe the window's own controls to assistive technology: the
/// output box as read-only text holding its line, and each list by its
/// label whatever it shows. Safe to call more than once; Qt builds the
/// descriptions only when a screen reader first asks for them.
void install_accessibility();

} // namespace tavrin::ui
