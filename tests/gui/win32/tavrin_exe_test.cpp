// Tavrin.exe itself, as Windows sees the file, as a user starts it and as a
// screen reader reads it. The test runs in the folder that holds Tavrin.exe.
#include "heard.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr const wchar_t* program = L"Tavrin.exe";

std::wstring version_string(const std::vector<char>& record, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueW(record.data(), path.c_str(), &value, &length) || length == 0) return L"<none>";
  return static_cast<const wchar_t*>(value);
}

TEST(TavrinExe, CarriesItsVersionRecord) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(program, &ignored);
  ASSERT_GT(size, 0u) << "no version record in Tavrin.exe";
  std::vector<char> record(size);
  ASSERT_TRUE(GetFileVersionInfoW(program, 0, size, record.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u); // 1.0
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);          // .0.0
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  struct Translation {
    WORD language, code_page;
  }* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  EXPECT_EQ(translation->language, 0x0409); // US English
  EXPECT_EQ(translation->code_page, 1200);  // Unicode

  EXPECT_EQ(version_string(record, L"FileVersion"), L"1.00");
  EXPECT_EQ(version_string(record, L"ProductVersion"), L"1.00");
  EXPECT_EQ(version_string(record, L"ProductName"), L"Tavrin");
  EXPECT_EQ(version_string(record, L"InternalName"), L"Tavrin");
  EXPECT_EQ(version_string(record, L"OriginalFilename"), L"Tavrin.exe");
  const std::string vendor = TAVRIN_VENDOR; // ASCII, as the project names its maker
  EXPECT_EQ(version_string(record, L"CompanyName"), std::wstring(vendor.begin(), vendor.end()));
  EXPECT_NE(version_string(record, L"FileDescription"), L"<none>");
}

TEST(TavrinExe, CarriesItsFiveImageIconAndBothBitmaps) {
  HMODULE exe = LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  HRSRC group = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  const auto* directory = static_cast<const WORD*>(LockResource(LoadResource(exe, group)));
  EXPECT_EQ(directory[2], 5); // reserved, type, image count
  for (auto [id, width, height] : {std::tuple{101, 361, 298}, {102, 300, 214}}) {
    auto bitmap = static_cast<HBITMAP>(
        LoadImageW(exe, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr) << id;
    DIBSECTION d{};
    GetObjectW(bitmap, sizeof d, &d);
    EXPECT_EQ(d.dsBm.bmWidth, width);
    EXPECT_EQ(d.dsBm.bmHeight, height);
    EXPECT_EQ(d.dsBm.bmBitsPixel, 32);
    DeleteObject(bitmap);
  }
  FreeLibrary(exe);
}

// Alt and a letter, as the keyboard sends it to a window.
void press_alt(HWND window, wchar_t letter) {
  PostMessageW(window, WM_SYSCHAR, letter, static_cast<LPARAM>(1u << 29 | 1u));
}

// The output box's value, once it reads `want` or after five seconds.
std::string value_once(HWND box, const std::string& want) {
  std::string value;
  for (int i = 0; i < 100 && (value = tavrin::test::heard(box).value) != want; ++i) Sleep(50);
  return value;
}

TEST(TavrinExe, StartsTellsAScreenReaderInAnotherProcessTheResultAndEndsOnAltX) {
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION process{};
  std::wstring command = program;
  ASSERT_TRUE(CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &start, &process));
  WaitForInputIdle(process.hProcess, 10000);
  HWND window = nullptr;
  for (int i = 0; i < 200 && !window; ++i) {
    window = FindWindowW(L"TavrinForm1", L"Tavrin");
    if (!window) Sleep(50);
  }
  ASSERT_NE(window, nullptr) << "Tavrin.exe showed no window";
  EXPECT_TRUE(IsWindowVisible(window));

  // A screen reader is another process: it reads the output box through
  // COM's marshalling, before a conversion, after the typical run (typed
  // unit names convert as chosen ones do) and after an overflow.
  using tavrin::ui::Control;
  using tavrin::ui::Form1;
  const auto item = [window](Control c) { return GetDlgItem(window, Form1::control_id(c)); };
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const HWND box = item(Control::picConverted);
  const tavrin::test::Heard before = tavrin::test::heard(box);
  EXPECT_EQ(before.name, "Converted value");
  EXPECT_EQ(before.role, ROLE_SYSTEM_TEXT);
  EXPECT_EQ(before.value, "");
  SetWindowTextW(item(Control::cboOriginal), L"Inches");
  SetWindowTextW(item(Control::cboConverted), L"Centimetres");
  SetWindowTextW(item(Control::txtOriginal), L"12");
  press_alt(window, L'c');
  EXPECT_EQ(value_once(box, "30.48"), "30.48");
  SetWindowTextW(item(Control::txtOriginal), L"1e400");
  press_alt(window, L'c');
  HWND fault = nullptr;
  for (int i = 0; i < 100 && !(fault = FindWindowW(L"#32770", L"Tavrin")); ++i) Sleep(50);
  ASSERT_NE(fault, nullptr) << "no message box for the overflow";
  const tavrin::test::Heard overflowed = tavrin::test::heard(box);
  EXPECT_EQ(overflowed.name, "Converted value");
  EXPECT_EQ(overflowed.value, "");
  PostMessageW(fault, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 100 && IsWindow(fault); ++i) Sleep(50);
  CoUninitialize();

  press_alt(window, L'x');
  ASSERT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

} // namespace
