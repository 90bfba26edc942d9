// Writes the page's index.html and its app manifest at build time from their
// templates, the controls table and the catalogue: each control at its place
// with its caption, font, name and tab order, the colours of both colour
// schemes made readable over the artwork by the shared rule (readable.hpp),
// the catalogue's lists, and page.js inside, so the form is whole and
// working as soon as the page is parsed, before the WebAssembly that
// converts has arrived (a script of its own would cost the page one more
// file read before it works). Run under node by the build:
//   make_page SOURCE_DIR BACKGROUND.bmp OUTPUT.bmp OUT_DIR
#include "form1_layout.hpp"
#include "readable.hpp"

#include "tavrin/arithmetic_fault.hpp"
#include "tavrin/catalogue.hpp"
#include "tavrin/cli/text.hpp"
#include "tavrin/number_text.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace tavrin::ui;
using tavrin::cli::markup_text;

// One of the artwork's 32-bit bitmaps (assets/*.bmp), as Tavrin.exe carries it.
class Bitmap {
public:
  explicit Bitmap(const char* path) {
    std::ifstream in(path, std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), {});
    if (bytes_.size() < 54 || bytes_[0] != 'B' || bytes_[1] != 'M' || word(28, 2) != 32)
      throw std::runtime_error(std::string("not a 32-bit bitmap: ") + path);
    offset_ = word(10, 4);
    width_ = static_cast<int>(word(18, 4));
    height_ = static_cast<int>(word(22, 4));  // positive: the bottom row first
    if (bytes_.size() < offset_ + static_cast<std::size_t>(width_) * height_ * 4)
      throw std::runtime_error(std::string("bitmap cut short: ") + path);
  }
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb at(int x, int y) const {
    const std::size_t p = offset_ + (static_cast<std::size_t>(height_ - 1 - y) * width_ + x) * 4;
    return {bytes_[p + 2], bytes_[p + 1], bytes_[p]};
  }
  // The darkest pixel under a rectangle in pixels.
  Rgb darkest(int left, int top, int width, int height) const {
    return darkest_under([this](int x, int y) { return at(x, y); }, width_, height_, left, top, width, height);
  }

private:
  std::size_t word(std::size_t at, int size) const {
    std::size_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | bytes_[at + i];
    return v;
  }
  std::vector<unsigned char> bytes_;
  std::size_t offset_ = 0;
  int width_ = 0, height_ = 0;
};

// A desktop's colours. A browser tells a page whether its user wants a light
// or a dark scheme, not the desktop's own colours, which the Linux window
// takes; so the page takes, for each scheme, the colours Qt's Fusion style
// gives that window on a desktop that sets none. `shade` and `light` are the
// sunken bevel's sides (the palette's Dark and Light), as the window's output
// box draws them.
struct Palette {
  Rgb window, window_text, base, text, button, button_text, frame, highlight, highlighted_text, mid;
  Rgb shade, light;
};
constexpr Palette light = {{239, 239, 239}, {0, 0, 0},       {255, 255, 255}, {0, 0, 0},
                           {239, 239, 239}, {0, 0, 0},       {171, 171, 171}, {48, 140, 198},
                           {255, 255, 255}, {184, 184, 184}, {159, 159, 159}, {255, 255, 255}};
constexpr Palette dark = {{48, 48, 48},     {255, 255, 255}, {36, 36, 36},    {255, 255, 255},
                          {58, 58, 58},     {255, 255, 255}, {100, 100, 100}, {48, 140, 198},
                          {255, 255, 255},  {37, 37, 37},    {29, 29, 29},    {87, 87, 87}};

Rgb system_colour(SystemColour which, const Palette& p, Rgb standard) {
  switch (which) {
  case SystemColour::active_caption: return p.highlight;
  case SystemColour::inactive_caption: return inactive_caption_from(p.highlight);
  case SystemColour::inactive_border: return p.mid;
  case SystemColour::standard: break;
  }
  return standard;
}

std::string hex(Rgb c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.red, c.green, c.blue);
  return buf;
}

// A length of the design in pixels at 96 DPI, scaled with the form.
std::string px(double pixels) { return "calc(" + tavrin::exact_form(pixels) + "*var(--u))"; }

std::string css_font(const FontSpec& f) {
  std::string families;
  for (std::string_view face : f.faces)
    if (!face.empty()) families += "\"" + std::string(face) + "\",";
  families += f.generic == GenericFamily::serif ? "serif"
              : f.generic == GenericFamily::sans_serif ? "sans-serif" : "cursive";
  return std::string(f.italic ? "italic " : "") + std::to_string(f.weight) + " " + px(f.points * 96 / 72) + " " +
         families;
}

// The label that names a control, and the control a label names, as the
// controls table pairs them.
const ControlSpec* label_of(const ControlSpec& control) {
  for (const LabelFor& pair : form1_labels)
    if (&spec_of(pair.named) == &control) return &spec_of(pair.label);
  return nullptr;
}

const ControlSpec* control_named_by(const ControlSpec& label) {
  for (const LabelFor& pair : form1_labels)
    if (&spec_of(pair.label) == &label) return &spec_of(pair.named);
  return nullptr;
}

// A caption with its access key underlined: "&Convert" as <u>C</u>onvert.
std::string caption_html(std::string_view text) {
  const std::size_t at = access_key_at(text);
  if (at == std::string_view::npos) return markup_text(text);
  return markup_text(text.substr(0, at - 1)) + "<u>" + markup_text(text.substr(at, 1)) + "</u>" +
         markup_text(text.substr(at + 1));
}

std::string controls_html() {
  std::string out;
  for (const ControlSpec& c : form1_controls) {
    const std::string id(c.name), name = markup_text(c.accessible_name);
    switch (c.kind) {
    case ControlKind::list: {
      // The category list holds the categories from the start, as the
      // window's load leaves it; the unit lists start empty.
      std::string items;
      if (c.name == spec_of(Control::cboType).name) {
        const auto names = tavrin::category_names();
        for (std::size_t i = 0; i < names.size(); ++i)
          items += "<div id=\"" + id + "-items-" + std::to_string(i) + "\" role=\"option\" aria-selected=\"false\">" +
                   markup_text(names[i]) + "</div>";
      }
      const ControlSpec* label = label_of(c);
      const std::string named_by = label ? "aria-labelledby=\"" + std::string(label->name) + "\"" : "aria-label=\"" + name + "\"";
      out += "<div class=\"list\" id=\"" + id + "-box\"><input id=\"" + id + "\" type=\"text\" role=\"combobox\" " +
             named_by + " aria-autocomplete=\"none\" aria-expanded=\"false\" aria-controls=\"" + id +
             "-items\" autocomplete=\"off\" spellcheck=\"false\" autocapitalize=\"off\">"
             "<span class=\"open\" role=\"button\" tabindex=\"-1\" " + named_by + " aria-controls=\"" +
             id + "-items\" aria-expanded=\"false\"></span><div id=\"" + id + "-items\" role=\"listbox\" " +
             named_by + " hidden>" + items + "</div></div>\n";
      break;
    }
    case ControlKind::text_box:
      out += "<input id=\"" + id + "\" type=\"text\" aria-label=\"" + name +
             "\" autocomplete=\"off\" spellcheck=\"false\" autocapitalize=\"off\">\n";
      break;
    case ControlKind::output_box:
      out += "<div id=\"" + id + "\" role=\"textbox\" aria-readonly=\"true\" aria-label=\"" + name +
             "\" aria-live=\"polite\" aria-atomic=\"true\" tabindex=\"0\"></div>\n";
      break;
    case ControlKind::label:
      if (const ControlSpec* named = control_named_by(c))
        out += "<label id=\"" + id + "\" for=\"" + std::string(named->name) + "\">" + markup_text(c.caption) + "</label>\n";
      else
        out += "<div id=\"" + id + "\" class=\"label\">" + markup_text(c.caption) + "</div>\n";
      break;
    case ControlKind::button: {
      const char key = access_key(c.caption);
      out += "<button id=\"" + id + "\" type=\"button\"" +
             (key ? " aria-keyshortcuts=\"Alt+" + std::string(1, key) + "\"" : std::string()) + ">" +
             caption_html(c.caption) + "</button>\n";
      break;
    }
    }
  }
  return out;
}

std::string scheme_css(const Palette& p, const Bitmap& background, const Bitmap& output) {
  auto var = [](const char* name, Rgb c) { return std::string("--") + name + ":" + hex(c) + ";"; };
  std::string out;
  out += var("page-back", p.window) + var("page-text", readable_on(p.window_text, p.window));
  out += var("list-back", p.base) + var("list-text", readable_on(p.text, p.base));
  out += var("button-back", p.button) + var("button-text", readable_on(p.button_text, p.button));
  out += var("bevel-shade", p.shade) + var("bevel-light", p.light);
  out += var("frame", p.frame) + var("highlight", p.highlight) +
         var("highlight-text", readable_on(p.highlighted_text, p.highlight));
  for (const ControlSpec& c : form1_controls) {
    const TwipsRect r = c.twips;
    const int left = twips_to_pixels(r.left), top = twips_to_pixels(r.top), width = twips_to_pixels(r.width),
              height = twips_to_pixels(r.height);
    if (c.kind == ControlKind::label) {
      const Rgb colour = system_colour(c.text, p, p.window_text);
      out += var((std::string(c.name) + "-text").c_str(),
                 readable_on(colour, background.darkest(left, top, width, height)));
    } else if (c.kind == ControlKind::text_box) {
      const Rgb back = system_colour(c.back, p, p.base);
      out += var("value-back", back) + var("value-text", readable_on(p.text, back));
    } else if (c.kind == ControlKind::output_box) {
      // Printed over its bitmap, inside the 2-pixel sunken border.
      out += var("result-text", readable_on(p.text, output.darkest(0, 0, width - 4, height - 4)));
    }
  }
  return out;
}

std::string layout_css(const Bitmap& background, const Bitmap& output) {
  const int client_width = twips_to_pixels(form1_client.width), client_height = twips_to_pixels(form1_client.height);
  std::string out;
  // One design pixel: a CSS pixel, less on a screen too narrow for the form,
  // so the whole form shrinks keeping its proportions, to seven eighths at
  // most: the lists' and labels' 11 px text then stands at 9.6 px, and any
  // smaller is hard to read on a phone. A narrower screen (below 293 px)
  // scrolls the form sideways instead.
  out += ":root{--u:clamp(0.875px,(100vw - 16px)/" + std::to_string(client_width) + ",1px);" +
         scheme_css(light, background, output) + "}\n";
  out += "@media (prefers-color-scheme: dark){:root{" + scheme_css(dark, background, output) + "}}\n";
  out += "#Form1{width:" + px(client_width) + ";height:" + px(client_height) + ";font:" +
         css_font(font_of(FontRole::window)) + ";background:url(background.png) 0 0/" + px(background.width()) +
         " " + px(background.height()) + " no-repeat}\n";
  out += "#picConverted{background:url(output.png) 0 0/" + px(output.width()) + " " + px(output.height()) +
         " no-repeat}\n";
  for (const ControlSpec& c : form1_controls) {
    const std::string selector = "#" + std::string(c.name) + (c.kind == ControlKind::list ? "-box" : "");
    const int top = twips_to_pixels(c.twips.top);
    // A control reaching past the client area is cut at its edge (Label1).
    const int bottom = std::min(top + twips_to_pixels(c.twips.height), client_height);
    out += selector + "{left:" + px(twips_to_pixels(c.twips.left)) + ";top:" + px(top) + ";width:" +
           px(twips_to_pixels(c.twips.width)) + ";height:" + px(bottom - top);
    if (c.font != FontRole::window) out += ";font:" + css_font(font_of(c.font));
    if (c.kind == ControlKind::label) out += ";color:var(--" + std::string(c.name) + "-text)";
    out += "}\n";
  }
  return out;
}

std::string quoted(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

std::string json_list(std::span<const std::string_view> names) {
  std::string out;
  for (std::string_view name : names) out += (out.empty() ? "" : ",") + quoted(name);
  return "[" + out + "]";
}

// What page.js reads: the window's caption, each fault's advice by the
// fault's name, the output box's menu entry, and each category's name with
// its source and target lists.
std::string data_json() {
  std::string faults;
  for (auto kind : {tavrin::FaultKind::overflow, tavrin::FaultKind::invalid_operation,
                    tavrin::FaultKind::division_by_zero})
    faults += (faults.empty() ? "" : ",") + quoted(tavrin::fault_name(kind)) + ":" + quoted(fault_advice(kind));
  std::string catalogue;
  for (std::size_t c = 0; c < tavrin::category_count; ++c)
    catalogue += std::string(c == 0 ? "" : ",") + "[" + quoted(tavrin::category_names()[c]) + "," +
                 json_list(tavrin::units_at(c).sources) + "," + json_list(tavrin::units_at(c).targets) + "]";
  return "{\"caption\":" + quoted(form1_caption) + ",\"faults\":{" + faults + "},\"copy\":" + quoted(copy_caption) +
         ",\"catalogue\":[" + catalogue + "]}";
}

std::string replaced(std::string text, std::string_view marker, const std::string& by) {
  const auto at = text.find(marker);
  if (at == std::string::npos) throw std::runtime_error("a template lacks " + std::string(marker));
  return text.replace(at, marker.size(), by);
}

// A script to stand inside <script>: nothing in it may end the element early.
std::string inline_script(std::string script) {
  std::string lower = script;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower.find("</script") != std::string::npos || lower.find("<!--") != std::string::npos)
    throw std::runtime_error("page.js holds text that would end its <script> early");
  return script;
}

std::string read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void write(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: make_page SOURCE_DIR BACKGROUND.bmp OUTPUT.bmp OUT_DIR\n");
    return 2;
  }
  try {
    const std::string source = argv[1], out = argv[4];
    const Bitmap background(argv[2]), output(argv[3]);
    std::string page = read(source + "/index.html.in");
    page = replaced(page, "@LAYOUT@", layout_css(background, output));
    page = replaced(page, "@CONTROLS@", controls_html());
    page = replaced(page, "@DATA@", data_json());
    while (page.find("@CAPTION@") != std::string::npos) page = replaced(page, "@CAPTION@", markup_text(form1_caption));
    page = replaced(page, "@SCRIPT@", inline_script(read(source + "/page.js"))); // last: taken as it stands
    write(out + "/index.html", page);

    std::string manifest = read(source + "/manifest.webmanifest.in");
    while (manifest.find("@CAPTION@") != std::string::npos) manifest = replaced(manifest, "@CAPTION@", std::string(form1_caption));
    manifest = replaced(manifest, "@BACKGROUND@", hex(light.window));
    manifest = replaced(manifest, "@THEME@", hex(light.highlight));
    write(out + "/manifest.webmanifest", manifest);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_page: %s\n", e.what());
    return 1;
  }
}
