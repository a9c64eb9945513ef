// What only a Windows child shows: the search of PATH with PATHEXT, batch files, CreateProcessW's
// start failures, exit codes beyond a byte, handle inheritance and the environment block's form.

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "helpers/environment.hpp"
#include "helpers/temp_project.hpp"
#include "platform/os_error.hpp"
#include "platform/paths.hpp"
#include "platform/process.hpp"
#include "platform/utf16.hpp"
#include "platform/win32_process_rules.hpp"
#include "stand_in/stand_in.hpp"

namespace quorvane::platform {
namespace {

namespace fs = std::filesystem;
using testing::ScopedVariable;
namespace stand_in = testing::stand_in;

fs::path stand_in_file() {
  return fs::absolute(path_from_utf8(QUORVANE_STAND_IN));
}

std::string stdout_of(const ProcessOutcome& outcome) {
  if (const auto* succeeded = std::get_if<ProcessSucceeded>(&outcome)) {
    return succeeded->stdout_bytes;
  }
  if (const auto* failed = std::get_if<ProcessFailed>(&outcome)) {
    ADD_FAILURE() << "status " << failed->status << ": " << failed->stderr_bytes;
  } else {
    ADD_FAILURE() << std::get<ProcessNotStarted>(outcome).message;
  }
  return {};
}

std::optional<std::string> not_started_message(const ProcessOutcome& outcome) {
  if (const auto* not_started = std::get_if<ProcessNotStarted>(&outcome)) {
    return not_started->message;
  }
  return std::nullopt;
}

TEST(RunProgramOnWindows, ExitCodesBeyondAByteComeBackWhole) {
  for (const unsigned long code : {256ul, 65535ul, 70000ul, 0xC0000005ul}) {
    const auto outcome =
        run_program(path_bytes(stand_in_file()), {"--exit=" + std::to_string(code)});
    const auto* failed = std::get_if<ProcessFailed>(&outcome);
    ASSERT_NE(failed, nullptr) << code;
    EXPECT_EQ(failed->status, static_cast<int>(code));
  }
}

// Folders a and b on PATH, with copies of the stand-in (which names its own file when asked) and
// other files put where a case wants them.
class ProgramSearch : public ::testing::Test {
 protected:
  fs::path folder(const char* name) const { return root_.path() / name; }

  void put_program(const fs::path& file) const {
    fs::create_directories(file.parent_path());
    fs::copy_file(stand_in_file(), file);
  }
  void put_batch(const fs::path& file, const fs::path& marker) const {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << "@echo ran > \"" << path_bytes(marker) << "\"\r\n";
  }

  // Which file runs for `name` with this PATH and PATHEXT; nothing when none starts.
  std::optional<fs::path> started(const std::string& name, const std::string& path,
                                  const std::optional<std::string>& pathext) const {
    const ScopedVariable path_variable("PATH", path);
    const ScopedVariable pathext_variable("PATHEXT", pathext);
    const auto outcome = run_program(name, {"--self"});
    if (std::holds_alternative<ProcessNotStarted>(outcome)) return std::nullopt;
    return path_from_utf8(stdout_of(outcome));
  }

  std::string both_folders() const {
    return path_bytes(folder("a")) + ";" + path_bytes(folder("b"));
  }

  testing::TempProject root_;
};

bool same_file(const std::optional<fs::path>& found, const fs::path& expected) {
  std::error_code error;
  return found && fs::equivalent(*found, expected, error);
}

TEST_F(ProgramSearch, FoldersInPathOrder) {
  put_program(folder("b") / "tool.exe");
  EXPECT_TRUE(same_file(started("tool", both_folders(), ".COM;.EXE"), folder("b") / "tool.exe"));
  put_program(folder("a") / "tool.exe");
  EXPECT_TRUE(same_file(started("tool", both_folders(), ".COM;.EXE"), folder("a") / "tool.exe"));
}

TEST_F(ProgramSearch, ComAndExeInTheOrderOfPathext) {
  put_program(folder("a") / "tool.com");
  put_program(folder("a") / "tool.exe");
  const std::string path = path_bytes(folder("a"));
  EXPECT_TRUE(same_file(started("tool", path, ".COM;.EXE"), folder("a") / "tool.com"));
  EXPECT_TRUE(same_file(started("tool", path, ".exe;.com"), folder("a") / "tool.exe"));
  EXPECT_TRUE(same_file(started("tool", path, std::nullopt), folder("a") / "tool.com"));
  // An extension PATHEXT does not list is not tried.
  EXPECT_TRUE(same_file(started("tool", path, ".EXE"), folder("a") / "tool.exe"));
}

TEST_F(ProgramSearch, OnlyFilesThatStartWithoutAnInterpreterAreFound) {
  // A file without extension, a batch file and a folder named like a program come first on PATH;
  // none of them is what runs.
  put_program(folder("a") / "tool");
  put_batch(folder("a") / "tool.bat", folder("ran"));
  fs::create_directories(folder("a") / "tool.exe");
  put_program(folder("b") / "tool.exe");
  EXPECT_TRUE(
      same_file(started("tool", both_folders(), ".BAT;.CMD;.EXE"), folder("b") / "tool.exe"));
  EXPECT_FALSE(fs::exists(folder("ran")));
}

TEST_F(ProgramSearch, ANameWithAnExtensionIsLookedUpAsItIs) {
  put_program(folder("a") / "tool.exe");
  put_program(folder("a") / "other.com");
  EXPECT_TRUE(
      same_file(started("tool.exe", both_folders(), ".COM;.EXE"), folder("a") / "tool.exe"));
  EXPECT_TRUE(same_file(started("other.com", both_folders(), ".EXE"), folder("a") / "other.com"));
  EXPECT_EQ(started("tool.com", both_folders(), ".COM;.EXE"), std::nullopt);
}

TEST_F(ProgramSearch, QuotedFoldersOfPathAreFound) {
  put_program(folder("with space") / "tool.exe");
  std::string quoted = "\"";
  quoted += path_bytes(folder("with space"));
  quoted += '"';
  EXPECT_TRUE(same_file(started("tool", quoted, ".EXE"), folder("with space") / "tool.exe"));
}

// Sets the current folder for one scope.
class CurrentFolder {
 public:
  explicit CurrentFolder(const fs::path& folder) : old_(fs::current_path()) {
    fs::current_path(folder);
  }
  ~CurrentFolder() { fs::current_path(old_); }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  fs::path old_;
};

TEST_F(ProgramSearch, NeverTheCurrentFolderNorOneRelativeToIt) {
  // CreateProcessW's own search begins in the current folder, and a relative PATH entry would
  // lead there too: a project that carries a git.exe must not have it run.
  put_program(folder("here") / "tool.exe");
  put_program(folder("here") / "bin" / "tool.exe");
  fs::create_directories(folder("empty"));
  const CurrentFolder here(folder("here"));
  const ScopedVariable path("PATH", ".;bin;.\\bin;;" + path_bytes(folder("empty")));
  const auto outcome = run_program("tool", {"--self"});
  EXPECT_EQ(not_started_message(outcome), os_error_text(ERROR_FILE_NOT_FOUND));
}

TEST_F(ProgramSearch, APathIsTriedAsGiven) {
  put_program(folder("a") / "tool.exe");
  put_program(folder("a") / "plain");
  const ScopedVariable path("PATH", path_bytes(folder("empty")));
  EXPECT_TRUE(same_file(
      path_from_utf8(stdout_of(run_program(path_bytes(folder("a") / "tool.exe"), {"--self"}))),
      folder("a") / "tool.exe"));
  // No extension is added to a path, and a file without one still runs.
  EXPECT_TRUE(same_file(
      path_from_utf8(stdout_of(run_program(path_bytes(folder("a") / "plain"), {"--self"}))),
      folder("a") / "plain"));
  EXPECT_EQ(not_started_message(run_program(path_bytes(folder("a") / "tool"), {})),
            os_error_text(ERROR_FILE_NOT_FOUND));
  // Relative to the current folder, since the caller named it.
  const CurrentFolder here(root_.path());
  EXPECT_TRUE(same_file(path_from_utf8(stdout_of(run_program("a\\tool.exe", {"--self"}))),
                        folder("a") / "tool.exe"));
  EXPECT_TRUE(same_file(path_from_utf8(stdout_of(run_program("a/tool.exe", {"--self"}))),
                        folder("a") / "tool.exe"));
}

TEST_F(ProgramSearch, BatchFilesAreNeverRun) {
  // CreateProcessW would start them through cmd.exe, whose parsing no quoting survives.
  put_batch(folder("a") / "tool.bat", folder("ran"));
  put_batch(folder("a") / "other.CMD", folder("ran"));
  const ScopedVariable path("PATH", path_bytes(folder("a")));
  for (const std::string& program :
       {std::string("tool.bat"), path_bytes(folder("a") / "tool.bat"),
        path_bytes(folder("a") / "tool.bat."), std::string("other.cmd")}) {
    EXPECT_EQ(not_started_message(run_program(program, {})), os_error_text(ERROR_BAD_EXE_FORMAT))
        << program;
  }
  EXPECT_FALSE(fs::exists(folder("ran")));
}

TEST_F(ProgramSearch, StartFailuresCarryTheSystemsCode) {
  std::ofstream(folder("notes.exe"), std::ios::binary) << "not a program\r\n";
  fs::create_directories(folder("a folder.exe"));
  EXPECT_EQ(not_started_message(run_program(path_bytes(folder("notes.exe")), {})),
            os_error_text(ERROR_BAD_EXE_FORMAT));
  EXPECT_EQ(not_started_message(run_program(path_bytes(folder("missing") / "x.exe"), {})),
            os_error_text(ERROR_PATH_NOT_FOUND));
  // Windows says access denied, wine an invalid handle: only the form is the same.
  const auto folder_message =
      not_started_message(run_program(path_bytes(folder("a folder.exe")), {}));
  ASSERT_TRUE(folder_message.has_value());
  EXPECT_TRUE(folder_message->ends_with(")") &&
              folder_message->find(" (os error ") != std::string::npos)
      << *folder_message;
}

// An inheritable pipe of the caller's own; the child is handed its write end's number.
struct InheritablePipe {
  InheritablePipe() {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    EXPECT_TRUE(::CreatePipe(&read_end, &write_end, &inheritable, 0));
  }
  ~InheritablePipe() {
    ::CloseHandle(read_end);
    ::CloseHandle(write_end);
  }
  InheritablePipe(const InheritablePipe&) = delete;
  InheritablePipe& operator=(const InheritablePipe&) = delete;

  std::string write_end_number() const {
    return std::to_string(reinterpret_cast<std::uintptr_t>(write_end));
  }
  DWORD bytes_waiting() const {
    DWORD available = 0;
    EXPECT_TRUE(::PeekNamedPipe(read_end, nullptr, 0, nullptr, &available, nullptr));
    return available;
  }

  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
};

TEST(RunProgramOnWindows, OnlyTheThreeStandardHandlesAreInherited) {
  const InheritablePipe pipe;
  const std::string action = "--write-handle=" + pipe.write_end_number();
  EXPECT_EQ(stdout_of(run_program(path_bytes(stand_in_file()), {action})), "not written\n");
  EXPECT_EQ(pipe.bytes_waiting(), 0u);

  // The probe itself works: a child that inherits every inheritable handle writes through it.
  std::u16string line = win32::command_line(utf8_to_utf16(path_bytes(stand_in_file())), {action});
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(::CreateProcessW(stand_in_file().c_str(), reinterpret_cast<wchar_t*>(line.data()),
                               nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                               &info));
  ::WaitForSingleObject(info.hProcess, INFINITE);
  ::CloseHandle(info.hProcess);
  ::CloseHandle(info.hThread);
  EXPECT_EQ(pipe.bytes_waiting(), 1u);
}

// The numbers the system gives the next new handles. It takes the lowest free ones, so a handle
// left open takes one of these, wherever it was made.
std::vector<std::uintptr_t> next_handle_numbers() {
  std::vector<HANDLE> events;
  for (int i = 0; i < 64; ++i) events.push_back(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::vector<std::uintptr_t> numbers;
  for (const HANDLE event : events) {
    numbers.push_back(reinterpret_cast<std::uintptr_t>(event));
    ::CloseHandle(event);
  }
  std::ranges::sort(numbers);
  return numbers;
}

TEST(RunProgramOnWindows, LeavesNoHandleOpenInTheCaller) {
  // Handle counts would be plainer, but wine reports none.
  const auto before = next_handle_numbers();
  const std::string program = path_bytes(stand_in_file());
  const std::string not_a_program =
      path_bytes(fs::absolute(path_from_utf8(QUORVANE_SOURCE_DIR "/CMakeLists.txt")));
  for (int i = 0; i < 10; ++i) {
    run_program(program, {"--stdout=out", "--stderr=err"});
    run_program(program, {"--stdout-bytes=300000", "--exit=1"});
    run_program("quorvane-no-such-program-on-path", {});
    run_program(not_a_program, {});
  }
  EXPECT_EQ(next_handle_numbers(), before);
}

TEST(RunProgramOnWindows, TheChildsBlockIsSortedAndKeepsTheDriveEntries) {
  // "=Q:" holds a drive's current folder, as cmd.exe keeps one for each drive. The variables are
  // set here in an order that is not the sorted one, and one more comes with the change.
  const ScopedVariable drive("=Q:", "Q:\\quorvane");
  const ScopedVariable late("zz_quorvane_test", "1");
  const ScopedVariable early("AA_QUORVANE_TEST", "1");
  const auto entries =
      stand_in::records(stdout_of(run_program(path_bytes(stand_in_file()), {"--env-all"},
                                              EnvironmentChange{{{"Mm_Quorvane_Test", "1"}}, {}})));
  // Wine adds variables of its own to a child's block, after those it was given, so only the
  // order of the test's own entries is compared.
  const std::vector<std::string> in_order = {"=Q:=Q:\\quorvane", "AA_QUORVANE_TEST=1",
                                             "Mm_Quorvane_Test=1", "zz_quorvane_test=1"};
  std::vector<std::string> seen;
  for (const std::string& entry : entries) {
    if (std::ranges::find(in_order, entry) != in_order.end()) seen.push_back(entry);
  }
  EXPECT_EQ(seen, in_order);
}

TEST(RunProgramOnWindows, QuotingSurvivesTheSystemsOwnSplit) {
  // The stand-in splits by the C runtime's rules; CommandLineToArgvW is the system's own.
  const std::vector<std::string> arguments = {"",
                                              "a b",
                                              "\"",
                                              "a\\\"b",
                                              "ends\\",
                                              "ends \\",
                                              "\\\\srv\\share\\",
                                              "\t",
                                              "\xc3\xa4 \xe6\x97\xa5"};
  const std::u16string line = win32::command_line(u"C:\\Program Files\\x.exe", arguments);
  int count = 0;
  wchar_t** split = ::CommandLineToArgvW(reinterpret_cast<const wchar_t*>(line.c_str()), &count);
  ASSERT_NE(split, nullptr);
  std::vector<std::string> back;
  for (int i = 1; i < count; ++i) {
    back.push_back(utf16_to_utf8(reinterpret_cast<const char16_t*>(split[i])));
  }
  const std::string program = utf16_to_utf8(reinterpret_cast<const char16_t*>(split[0]));
  ::LocalFree(split);
  EXPECT_EQ(program, "C:\\Program Files\\x.exe");
  EXPECT_EQ(back, arguments);
}

}  // namespace
}  // namespace quorvane::platform
