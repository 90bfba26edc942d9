#pragma once

// The rule that keeps text readable over the window's artwork, the same for
// every front end, and the one colour the window derives from the desktop's
// others (inactive_caption_from): a text colour is darkened (or lightened over a dark
// backdrop) until it reaches a contrast of 4.5:1, the WCAG level for normal text.

namespace tavrin::ui {

/// An opaque colour, 8 bits a channel.
struct Rgb {
  int red = 0;   ///< 0 to 255
  int green = 0; ///< 0 to 255
  int blue = 0;  ///< 0 to 255
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

/// The contrast the window's text keeps against whatever is behind it.
inline constexpr double readable_contrast = 4.5;

/// WCAG contrast ratio of two colours (1 to 21).
double contrast_ratio(Rgb a, Rgb b);

/// `colour`, darkened (or lightened over a dark backdrop) just enough to reach
/// `ratio` against `backdrop`, keeping its hue; unchanged when it already does.
Rgb readable_on(Rgb colour, Rgb backdrop, double ratio = readable_contrast);

/// HSL lightness of a colour (0 to 1): which of two backdrops is the darker.
double lightness(Rgb c);

/// The inactive caption's colour, derived from the highlight (the active
/// caption's): the highlight's hue at 45 % saturation and 82 % lightness, the
/// paler version of it that classic desktops show; grey for a grey highlight.
Rgb inactive_caption_from(Rgb highlight);

/// The darkest pixel of an image within the pixel rectangle (left, top,
/// width, height), cut to the image's `image_width` x `image_height`:
/// the backdrop against which dark text reads worst. `pixel_at(x, y)` gives an Rgb.
template <class PixelAt>
Rgb darkest_under(PixelAt pixel_at, int image_width, int image_height, int left, int top,
                  int width, int height) {
  Rgb darkest{255, 255, 255};
  const int x0 = left < 0 ? 0 : left, y0 = top < 0 ? 0 : top;
  const int x1 = left + width < image_width ? left + width : image_width;
  const int y1 = top + height < image_height ? top + height : image_height;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const Rgb c = pixel_at(x, y);
      if (lightness(c) < lightness(darkest)) darkest = c;
    }
  return darkest;
}

} // namespace tavrin::ui
