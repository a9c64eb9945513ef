// Standard output and error on Windows: files and pipes get the bytes as they are, a console
// gets the text, and each way a write can fail is told apart.
#include <windows.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "helpers/temp_project.hpp"
#include "platform/os_error.hpp"
#include "platform/output.hpp"
#include "platform/terminal.hpp"
#include "std_handle-win32.hpp"
#include "stdout_pipe.hpp"

namespace quorvane::platform {
namespace {

using testing::StdHandleOverride;

// Line breaks of both kinds, a lone CR, non-ASCII text and a byte that is not UTF-8: a file or
// pipe must get each byte unchanged.
const std::string kReport =
    "REQ-A \xE2\x80\x94 Login\n  impl: src/a.rs:1\r\nlone \r cr\n\xC3\xA9t\xC3\xA9 \xFF\n\n";

std::string repeated(const std::string& text, std::size_t times) {
  std::string out;
  out.reserve(text.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += text;
  return out;
}

class WithFile : public ::testing::Test {
 protected:
  // A file opened for writing, or read-only.
  HANDLE open_file(const wchar_t* name, DWORD access) {
    const std::wstring path = (project_.path() / name).native();
    HANDLE handle = ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(handle, INVALID_HANDLE_VALUE) << os_error_text(static_cast<int>(::GetLastError()));
    return handle;
  }

  std::string contents(const wchar_t* name) const { return project_.read(name); }

  quorvane::testing::TempProject project_;
};

TEST_F(WithFile, ReportsReachAFileByteForByte) {
  const std::string large = repeated(kReport, 40000);  // a few MB, many writes' worth of lines
  const HANDLE file = open_file(L"out.txt", GENERIC_WRITE);
  {
    const StdHandleOverride redirected(STD_OUTPUT_HANDLE, file);
    EXPECT_TRUE(std::holds_alternative<WriteDone>(write_stdout(kReport)));
    EXPECT_TRUE(std::holds_alternative<WriteDone>(write_stdout("{\"schemaVersion\": 1}", "\n")));
    EXPECT_TRUE(std::holds_alternative<WriteDone>(write_stdout(large)));
  }
  ::CloseHandle(file);
  const std::string written = contents(L"out.txt");
  EXPECT_EQ(written.size(), kReport.size() + 21 + large.size());
  EXPECT_TRUE(written == kReport + "{\"schemaVersion\": 1}\n" + large);
}

TEST_F(WithFile, ErrorsReachAFileByteForByte) {
  const HANDLE file = open_file(L"err.txt", GENERIC_WRITE);
  {
    const StdHandleOverride redirected(STD_ERROR_HANDLE, file);
    write_stderr("manifest_error: line 1\n");
    write_stderr(kReport);
  }
  ::CloseHandle(file);
  EXPECT_EQ(contents(L"err.txt"), "manifest_error: line 1\n" + kReport);
}

TEST_F(WithFile, AHandleThatRefusesWritesIsAFailureWithItsOsText) {
  const HANDLE file = open_file(L"read-only.txt", GENERIC_READ);
  WriteResult one, two;
  {
    const StdHandleOverride redirected(STD_OUTPUT_HANDLE, file);
    one = write_stdout(kReport);
    two = write_stdout(kReport, "\n");
  }
  ::CloseHandle(file);
  for (const WriteResult& result : {one, two}) {
    ASSERT_TRUE(std::holds_alternative<WriteFailed>(result));
    EXPECT_EQ(std::get<WriteFailed>(result).message, os_error_text(ERROR_ACCESS_DENIED));
  }
}

TEST(WriteStdoutWindows, ReportsReachAPipeByteForByte) {
  const std::string large = repeated(kReport, 40000);
  const auto ending = testing::write_through_pipe(large, "\n", testing::Reader::ReadsAllLate,
                                                  testing::Mode::Blocking);
  EXPECT_EQ(ending.outcome, testing::Outcome::Done);
  EXPECT_EQ(ending.received.size(), large.size() + 1);
  EXPECT_TRUE(ending.received == large + "\n");
}

TEST(WriteStdoutWindows, APipeWhoseReaderIsGoneIsTheReaderGone) {
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  ASSERT_TRUE(::CreatePipe(&read_end, &write_end, nullptr, 0));
  ::CloseHandle(read_end);
  WriteResult one, two;
  {
    const StdHandleOverride redirected(STD_OUTPUT_HANDLE, write_end);
    one = write_stdout(kReport);
    two = write_stdout(kReport, "\n");
  }
  {
    const StdHandleOverride redirected(STD_ERROR_HANDLE, write_end);
    write_stderr(kReport);  // dropped, and the run goes on
  }
  ::CloseHandle(write_end);
  EXPECT_TRUE(std::holds_alternative<WriteReaderGone>(one));
  EXPECT_TRUE(std::holds_alternative<WriteReaderGone>(two));
}

TEST(WriteStdoutWindows, NoStandardOutputIsAFailureWithTheInvalidHandleText) {
  // A parent that closed the stream, or started the program without one.
  for (const HANDLE missing : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
    WriteResult one, two;
    {
      const StdHandleOverride redirected(STD_OUTPUT_HANDLE, missing);
      one = write_stdout(kReport);
      two = write_stdout(kReport, "\n");
    }
    {
      const StdHandleOverride redirected(STD_ERROR_HANDLE, missing);
      write_stderr(kReport);  // dropped
    }
    for (const WriteResult& result : {one, two}) {
      ASSERT_TRUE(std::holds_alternative<WriteFailed>(result));
      EXPECT_EQ(std::get<WriteFailed>(result).message, os_error_text(ERROR_INVALID_HANDLE));
      EXPECT_TRUE(std::get<WriteFailed>(result).message.ends_with(" (os error 6)"));
    }
  }
}

// A console, if the tests run in one (they do not under ctest): the screen shows the text.
class OnConsole : public ::testing::Test {
 protected:
  void SetUp() override {
    console_ = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (!::GetConsoleMode(console_, &saved_mode_)) {
      GTEST_SKIP() << "standard output is not a console (run the test program in one, e.g. "
                      "under `script`, to show the console path)";
    }
    std::fflush(stdout);  // the runner's own pending output first
  }
  void TearDown() override {
    if (console_ != nullptr) ::SetConsoleMode(console_, saved_mode_);
  }

  // Writes through write_stdout and reads back what the screen shows where the text went.
  std::u16string shown_after(std::string_view text, std::string_view tail,
                             std::size_t cells) const {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!::GetConsoleScreenBufferInfo(console_, &info)) return u"<no screen buffer>";
    const WriteResult result = tail.empty() ? write_stdout(text) : write_stdout(text, tail);
    if (!std::holds_alternative<WriteDone>(result)) return u"<write failed>";
    std::u16string shown(cells, u'\0');
    DWORD read = 0;
    ::ReadConsoleOutputCharacterW(console_, reinterpret_cast<wchar_t*>(shown.data()),
                                  static_cast<DWORD>(cells), info.dwCursorPosition, &read);
    shown.resize(read);
    (void)write_stdout("\n");
    return shown;
  }

  HANDLE console_ = nullptr;
  DWORD saved_mode_ = 0;
};

TEST_F(OnConsole, NonAsciiTextIsShownAsWritten) {
  EXPECT_EQ(shown_after("a \xE2\x80\x94 \xC3\xA9t\xC3\xA9 \xE2\x82\xAC", "", 9),
            u"a \u2014 \u00e9t\u00e9 \u20ac");
  // A character split between the text and its tail is still one character.
  EXPECT_EQ(shown_after("x\xE2\x80", "\x94y", 3), u"x\u2014y");
}

TEST_F(OnConsole, ColourPreparationTurnsOnEscapes) {
  EXPECT_TRUE(is_terminal(Stream::Out));
  ASSERT_TRUE(prepare_for_colour(Stream::Out));
  DWORD mode = 0;
  ASSERT_TRUE(::GetConsoleMode(console_, &mode));
  EXPECT_NE(mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING, 0u);
  // Once on, it stays on, and preparing again changes nothing.
  EXPECT_TRUE(prepare_for_colour(Stream::Out));
  DWORD again = 0;
  ASSERT_TRUE(::GetConsoleMode(console_, &again));
  EXPECT_EQ(again, mode);
}

}  // namespace
}  // namespace quorvane::platform
