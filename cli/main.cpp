// tavrin-convert: Tavrin's conversions for scripts and terminals. The work is
// done in tavrin_cli; this file reads the command line and writes the outcome.
#include "tavrin/cli/audit.hpp"
#include "tavrin/cli/batch.hpp"
#include "tavrin/cli/conversion.hpp"
#include "tavrin/cli/listing.hpp"
#include "tavrin/cli/output.hpp"
#include "tavrin/cli/text.hpp"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include <unistd.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#ifndef TAVRIN_VERSION_TEXT
#error "TAVRIN_VERSION_TEXT comes from the CMake project version"
#endif

namespace {

using tavrin::cli::Exit;
using tavrin::cli::Outcome;
using tavrin::cli::write_all;

constexpr std::string_view usage_text =
    "Usage:\n"
    "  tavrin-convert [--exact] VALUE FROM TO      convert one value\n"
    "  tavrin-convert --explain VALUE FROM TO      also say which rule gave it\n"
    "  tavrin-convert --batch [--exact]            TAB-separated \"VALUE<TAB>FROM<TAB>TO\" lines on stdin\n"
    "  tavrin-convert --list [CATEGORY]            the 15 categories, or one category's units\n"
    "  tavrin-convert --table CATEGORY [VALUE] [--csv]   VALUE (default 1) from every unit to every unit\n"
    "  tavrin-convert --audit [CATEGORY] [--csv]   how far each rule is from the exact definitions\n"
    "  tavrin-convert --audit [CATEGORY] --svg FILE   the same as heat maps in an SVG picture\n"
    "  tavrin-convert --help | --version\n";

constexpr std::string_view footer_text =
    "FROM and TO are unit names exactly as --list prints them; quote names with blanks.\n"
    "Negative values work as they are: tavrin-convert -40 \"Degrees Celcius\" \"Degrees Fahrenheit\".\n"
    "\n"
    "Exit status: 0 success; 1 an arithmetic fault, a failed batch line or an output error;\n"
    "2 a usage error, an unknown unit or category, units of two categories, or not a number.";

// CLI11's help has a one-line usage and notes such as "Excludes: --list" on
// each option; ours lists the forms the program takes instead, then the options.
class Formatter : public CLI::Formatter {
public:
  std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode mode) const override {
    return app->get_description() + "\n\n" + std::string(usage_text) + make_groups(app, mode) +
           app->get_footer() + "\n";
  }
  std::string make_option_opts(const CLI::Option* opt) const override {
    return opt->get_option_text().empty() ? std::string() : " " + opt->get_option_text();
  }
};

void report(std::string_view message) {
  // One line, whatever the message holds; CLI11's messages hold arguments
  // as typed, so they are escaped as the program's own quotes are.
  std::string text(message);
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::string line = "tavrin-convert: " + tavrin::cli::escaped_text(text);
  line += '\n';
  write_all(STDERR_FILENO, line);
}

int finish(const Outcome& o) {
  int status = static_cast<int>(o.status);
  if (!o.out.empty() && !write_all(STDOUT_FILENO, o.out)) {
    report(std::error_code(errno, std::generic_category()).message().insert(0, "cannot write standard output: "));
    status = static_cast<int>(Exit::fault);
  }
  if (!o.err.empty()) report(o.err);
  return status;
}

int usage_error(std::string_view message) {
  report(std::string(message) + " (tavrin-convert --help shows the usage)");
  return static_cast<int>(Exit::usage);
}

int run_batch_mode(bool exact) {
  try {
    const auto counts = tavrin::cli::run_batch(STDIN_FILENO, STDOUT_FILENO, exact);
    if (counts.failed == 0) return static_cast<int>(Exit::ok);
    report(tavrin::cli::count_text(counts.failed) + " of " +
           tavrin::cli::count_text(counts.lines) + " lines failed");
  } catch (const std::system_error& e) {
    report(e.what());
  }
  return static_cast<int>(Exit::fault);
}

#ifdef _WIN32
// A console shows the UTF-8 this program writes ("×" in --explain, names in
// messages) only with its output code page set so; the console's own is put
// back at exit, since the shell that started the program keeps the console.
class Utf8Console {
public:
  Utf8Console() {
    DWORD mode = 0;
    if (::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode) ||
        ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode)) {
      before_ = ::GetConsoleOutputCP();
      ::SetConsoleOutputCP(CP_UTF8);
    }
    // stdout and stderr stay in text mode, so lines end in CRLF as Windows
    // programs' lines do. stdin is read as bytes: a text-mode read would end
    // a batch at the first Ctrl-Z byte; the batch reader takes CRLF and LF.
    ::_setmode(STDIN_FILENO, _O_BINARY);
  }
  ~Utf8Console() {
    if (before_ != 0) ::SetConsoleOutputCP(before_);
  }
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

private:
  UINT before_ = 0;
};

std::string utf8(const wchar_t* text) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.pop_back();  // the terminating NUL
  return out;
}
#endif

int run(std::vector<std::string> words) {
  // CLI11 reads "-.5" as the short option "-." (it lets only a digit after
  // the '-' pass as a value). A blank in front makes any negative number a
  // positional argument and reads as the same number, since the number reader
  // skips leading blanks; the blank is taken off again after parsing.
  std::vector<std::string> escaped;
  for (std::size_t i = 1; i < words.size(); ++i) {
    if (words[i] == "--") break;
#ifdef _WIN32
    if (words[i] == "/?") words[i] = "--help";  // Windows programs' own way to ask for help
#endif
    if (words[i].size() > 1 && words[i][0] == '-' && tavrin::cli::is_number_text(words[i])) {
      escaped.push_back(words[i]);
      words[i].insert(0, 1, ' ');
    }
  }
  std::vector<const char*> pointers;
  for (const auto& w : words) pointers.push_back(w.c_str());
  auto unescape = [&escaped](std::string& s) {
    if (s.size() > 1 && s[0] == ' ' &&
        std::find(escaped.begin(), escaped.end(), std::string_view(s).substr(1)) != escaped.end())
      s.erase(0, 1);
  };

  CLI::App app{"Converts values between the units of Tavrin's table.", "tavrin-convert"};
  app.formatter(std::make_shared<Formatter>());
  app.footer(std::string(footer_text));
  app.set_version_flag("--version", "tavrin-convert " TAVRIN_VERSION_TEXT, "Print the version and exit");
  app.set_help_flag("-h,--help", "Print this help and exit");

  bool exact = false, explain = false, batch = false, csv = false;
  std::string table_category;
  std::vector<std::string> list_category;
  std::vector<std::string> args;
  auto* exact_opt = app.add_flag("--exact", exact,
                                 "Print the shortest text that reads back to the same double");
  auto* explain_opt = app.add_flag("--explain", explain,
                                   "Also print the rule, the reverse rule, the round trip and the exact factor");
  auto* batch_opt = app.add_flag("--batch", batch,
                                 "Convert TAB-separated VALUE FROM TO lines from stdin, one output line each");
  // --list takes its CATEGORY as an optional value, so "--list=Torque" works too.
  auto* list_opt = app.add_option("--list", list_category, "List the categories, or the units of CATEGORY")
                       ->expected(0, 1);
  list_opt->option_text("[CATEGORY]");
  // What CLI11 stores for "--list" given without a value; no category name
  // starts with a control character.
  constexpr std::string_view list_all = "\x01all";
  list_opt->default_str(std::string(list_all));
  auto* table_opt = app.add_option("--table", table_category,
                                   "Print the matrix of CATEGORY for VALUE (default 1)");
  table_opt->option_text("CATEGORY");
  // --audit, like --list, takes its CATEGORY as an optional value.
  std::vector<std::string> audit_category;
  auto* audit_opt = app.add_option("--audit", audit_category,
                                   "List every rule, or CATEGORY's, against the exact definitions, worst first")
                        ->expected(0, 1);
  audit_opt->option_text("[CATEGORY]");
  audit_opt->default_str(std::string(list_all));
  std::string svg_path;
  auto* svg_opt = app.add_option("--svg", svg_path, "With --audit, draw the audit as heat maps into FILE (- for stdout)");
  svg_opt->option_text("FILE");
  auto* csv_opt = app.add_flag("--csv", csv, "Print the --table or the --audit as comma-separated values");
  app.add_option("args", args)->group("");  // VALUE FROM TO, CATEGORY or VALUE, by mode

  svg_opt->needs(audit_opt)->excludes(csv_opt);
  batch_opt->excludes(explain_opt)->excludes(list_opt)->excludes(table_opt)->excludes(audit_opt);
  list_opt->excludes(explain_opt)->excludes(table_opt)->excludes(exact_opt)->excludes(audit_opt);
  table_opt->excludes(explain_opt)->excludes(audit_opt);
  audit_opt->excludes(explain_opt)->excludes(exact_opt);

  try {
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::CallForHelp&) {
    return write_all(STDOUT_FILENO, app.help()) ? 0 : 1;
  } catch (const CLI::CallForAllHelp&) {
    return write_all(STDOUT_FILENO, app.help()) ? 0 : 1;
  } catch (const CLI::CallForVersion& e) {
    return write_all(STDOUT_FILENO, std::string(e.what()) + "\n") ? 0 : 1;
  } catch (const CLI::ParseError& e) {
    return usage_error(e.what());
  }
  for (auto& a : args) unescape(a);
  unescape(table_category);
  for (auto& c : list_category) unescape(c);
  for (auto& c : audit_category) unescape(c);
  if (csv && table_opt->count() == 0 && audit_opt->count() == 0)
    return usage_error("--csv goes with --table or --audit");

  using namespace tavrin::cli;
  if (batch) {
    if (!args.empty()) return usage_error("--batch reads its lines from stdin and takes no arguments");
    return run_batch_mode(exact);
  }
  if (list_opt->count() > 0) {
    if (!args.empty()) return usage_error("--list takes at most one CATEGORY");
    const bool all = list_category.empty() || list_category[0] == list_all;
    return finish(all ? list_categories() : list_units(list_category[0]));
  }
  if (audit_opt->count() > 0) {
    if (!args.empty()) return usage_error("--audit takes at most one CATEGORY");
    std::optional<std::string_view> category;
    if (!audit_category.empty() && audit_category[0] != list_all) category = audit_category[0];
    if (svg_opt->count() > 0) return finish(write_audit_svg(category, svg_path));
    return finish(audit_listing(category, csv ? TableForm::csv : TableForm::aligned));
  }
  if (table_opt->count() > 0) {
    if (args.size() > 1) return usage_error("--table takes CATEGORY and at most one VALUE");
    return finish(unit_table(table_category, args.empty() ? "1" : args[0], exact,
                             csv ? TableForm::csv : TableForm::aligned));
  }
  if (args.size() != 3)
    return usage_error("expected VALUE FROM TO, got " + count_text(args.size()) +
                       (args.size() == 1 ? " argument" : " arguments"));
  return finish(explain ? explain_one(args[0], args[1], args[2], exact)
                        : convert_one(args[0], args[1], args[2], exact));
}

} // namespace

#ifdef _WIN32
// The arguments as Windows gives them, in UTF-16 (-municode), whatever the
// code page: a unit name or a number typed in any script reaches the program
// as it was typed.
int wmain(int argc, wchar_t** argv) {
  const Utf8Console console;
  std::vector<std::string> words;
  for (int i = 0; i < argc; ++i) words.push_back(utf8(argv[i]));
  return run(std::move(words));
}
#else
int main(int argc, char** argv) {
  // A write past the file-size limit (ulimit -f) then fails as a full disk
  // does, and is reported and cleaned up, instead of ending the program with
  // a half-written file.
  std::signal(SIGXFSZ, SIG_IGN);
  return run(std::vector<std::string>(argv, argv + argc));
}
#endif
