// tavrin-convert as a Windows user meets it: UTF-8 text in CRLF lines, the
// arguments as typed in any script, a batch read as bytes, and a lost output
// reported. Runs through the Windows side of the shared child-process runner,
// which these cases also check: its quoting, its text-mode reading.
#include "run_convert.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

using tavrin::test::run_convert;

namespace {

std::size_t line_count(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(WindowsOutput, ExplainWritesUtf8InCrlfLines) {
  const auto r = run_convert({"--explain", "1", "Degrees Celcius", "Degrees Fahrenheit"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("(x \xC3\x97 9) / 5"), std::string::npos) << "the rule's '×' in UTF-8: " << r.out;
  EXPECT_EQ(r.out.find('\r'), std::string::npos) << "a bare CR";
  EXPECT_EQ(r.crlf, line_count(r.out)) << "every line ends in CRLF";
  EXPECT_GE(r.crlf, 3u);

  const auto failed = run_convert({"1", "Inches", "Kelvin"});
  EXPECT_EQ(failed.status, 2);
  EXPECT_EQ(failed.crlf, 1u) << "the message is one CRLF line: " << failed.err;
}

// Runs tavrin-convert with `arguments` on the given standard handles (which
// it inherits), waits for it and returns its exit status, or ~0 when it did
// not start.
DWORD run_on(const std::wstring& arguments, HANDLE in, HANDLE out, HANDLE err) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  const std::string path = TAVRIN_CONVERT_PATH;
  std::wstring line = L"\"" + std::wstring(path.begin(), path.end()) + L"\" " + arguments;
  PROCESS_INFORMATION process{};
  DWORD status = ~DWORD{0};
  if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::GetExitCodeProcess(process.hProcess, &status);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
  }
  return status;
}

// Runs the program with `arguments` writing into a console screen buffer of
// its own and returns the buffer's first rows as UTF-16 text: the characters
// the console shows, whatever bytes reached it. Empty when no console could
// be had or read back.
std::wstring on_console(const std::wstring& arguments) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  auto new_screen = [&] {
    return ::CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       &inherit, CONSOLE_TEXTMODE_BUFFER, nullptr);
  };
  HANDLE screen = new_screen();
  // Under ctest this process may have no console, or (wine) one it cannot use.
  if (screen == INVALID_HANDLE_VALUE && (::FreeConsole(), ::AllocConsole())) screen = new_screen();
  if (screen == INVALID_HANDLE_VALUE) return {};
  constexpr SHORT width = 200, rows = 8;
  ::SetConsoleScreenBufferSize(screen, COORD{width, 50});
  std::wstring text;
  if (run_on(arguments, nullptr, screen, screen) != ~DWORD{0}) {
    std::wstring row(width, L' ');
    for (SHORT y = 0; y < rows; ++y) {
      DWORD n = 0;
      if (!::ReadConsoleOutputCharacterW(screen, row.data(), width, COORD{0, y}, &n)) {
        text.clear();  // wine without a display has no console window to read
        break;
      }
      text.append(row, 0, row.find_last_not_of(L' ') + 1).push_back(L'\n');
    }
  }
  ::CloseHandle(screen);
  return text;
}

TEST(WindowsConsole, ShowsTheRulesSignsAndTypedNames) {
  const std::wstring screen = on_console(L"--explain 1 \"Degrees Fahrenheit\" \"Degrees Celcius\"");
  if (screen.empty()) GTEST_SKIP() << "no console to read back (under wine: no display)";
  // U+2212 and U+00D7 as the characters themselves, not their UTF-8 bytes
  // shown one by one in the console's code page.
  EXPECT_NE(screen.find(L"((x \u2212 32) \u00D7 5) / 9"), std::wstring::npos) << screen;
  const std::wstring typed = on_console(L"1 \"Gr\u00F6\u00DFe \u2103\" Kelvin");
  EXPECT_NE(typed.find(L"'Gr\u00F6\u00DFe \u2103'"), std::wstring::npos) << typed;
}

TEST(WindowsArguments, ArriveAsTypedWithBlanksQuotesBackslashesAndAnyScript) {
  // Quoting that a C runtime undoes in its own way: a quote after
  // backslashes, backslashes at the end, text beyond the ANSI code page.
  for (const std::string name : {"Größe \"x\" × ℃", "a\\\\\"b c\\", "ends\\\\", "tab\there"}) {
    const auto r = run_convert({"1", name, "Kelvin"});
    EXPECT_EQ(r.status, 2) << name;
    const std::string shown = name == "tab\there" ? "tab\\x09here" : name;
    EXPECT_NE(r.err.find("'" + shown + "'"), std::string::npos) << r.err;
  }
  EXPECT_EQ(run_convert({"1", "", "Kelvin"}).status, 2) << "an empty argument stays an argument";
  const auto negative = run_convert({"-40", "Degrees Celcius", "Degrees Fahrenheit"});
  EXPECT_EQ(negative.out, "-40\n") << negative.err;
  const auto help = run_convert({"/?"});
  EXPECT_EQ(help.status, 0) << help.err;
  EXPECT_EQ(help.out, run_convert({"--help"}).out) << "/? asks for the help";
}

TEST(WindowsBatch, ReadsCrlfAndLfLinesAndTakesAControlZByteAsData) {
  // A text-mode read would stop at Ctrl-Z (0x1A) and drop the lines after it.
  const auto r = run_convert({"--batch"}, "1\tInches\tCentimetres\r\n\x1A\r\n2\tInches\tCentimetres\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "2.54\nerror: expected VALUE<TAB>FROM<TAB>TO, found 1 field\n5.08\n");
  EXPECT_EQ(r.crlf, line_count(r.out) + line_count(r.err)) << "output lines end in CRLF whatever the input's ends";
}

TEST(WindowsArithmetic, RoundsEachStepToADoubleAsA64BitBuildDoes) {
  // Of 474 rules at 16 inputs, these are among the 16 results a 32-bit build
  // with x87 arithmetic (80-bit intermediates) gave differently from the Linux
  // build, the first one finite where the product overflows.
  const auto r = run_convert({"--batch", "--exact"}, "1e308\tGrams\tLong ton\n"
                                                     "123456.789\tGrams\tLong ton\n"
                                                     "-459.67\tDegrees Celcius\tDegrees Fahrenheit\n");
  EXPECT_EQ(r.out, "error: arithmetic fault: Overflow (beyond the range of a double)\n"
                   "0.12098765321999999\n-795.406\n");
}

// Runs `arguments` after the program with stdout a pipe nobody reads (its
// reading end closed before the start), stdin and stderr the NUL device.
DWORD status_with_closed_output(const std::wstring& arguments) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!::CreatePipe(&read_end, &write_end, &inherit, 0)) return ~DWORD{0};
  ::CloseHandle(read_end);
  HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &inherit, OPEN_EXISTING, 0, nullptr);
  const DWORD status = run_on(arguments, nul, write_end, nul);
  ::CloseHandle(write_end);
  ::CloseHandle(nul);
  return status;
}

TEST(WindowsOutput, AnOutputNobodyReadsIsAFailure) {
  EXPECT_EQ(status_with_closed_output(L"1 Inches Feet"), 1u);
  EXPECT_EQ(status_with_closed_output(L"--table Length --csv"), 1u);
  EXPECT_EQ(status_with_closed_output(L"--version"), 1u);
}

} // namespace
