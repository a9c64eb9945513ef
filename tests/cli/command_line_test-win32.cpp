// The Windows program started with command lines written by hand, and with its standard
// streams redirected to files.
#include <windows.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "cli_test_support.hpp"
#include "helpers/command_line-win32.hpp"
#include "helpers/temp_project.hpp"
#include "invalid_arguments.hpp"
#include "platform/os_error.hpp"
#include "platform/paths.hpp"

namespace quorvane {
namespace {

using testing::ProcessResult;
using testing::RunOptions;
using testing::TempProject;

// The program as CreateProcessW takes it: QUORVANE_BINARY is written in the build machine's
// form, which the current drive resolves.
std::wstring program_path() {
  return std::filesystem::absolute(platform::path_from_utf8(QUORVANE_BINARY)).native();
}

// Colour must not depend on the environment the tests run in.
RunOptions plain_run(const TempProject& project) {
  return RunOptions{project.path(), {{"CLICOLOR_FORCE", std::nullopt}}};
}

ProcessResult run_with_tail(const TempProject& project, const std::wstring& tail) {
  return testing::run_command_line(QUORVANE_BINARY, L"quorvane " + tail, plain_run(project));
}

class UnpairedSurrogate : public ::testing::TestWithParam<std::wstring> {};

TEST_P(UnpairedSurrogate, IsRefusedAsTextThatIsNotUtf8IsElsewhere) {
  TempProject project;
  const ProcessResult result = run_with_tail(project, GetParam());
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, testing::kInvalidArgumentReport);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnpairedSurrogate,
                         ::testing::Values(L"\xD800",                        // the subcommand
                                           L"list --type caf\xDC00",         // an option value
                                           L"trace \"REQ-\xD83D\"",          // a high one last
                                           L"--help x\xDE00\xD83D",          // a pair reversed
                                           L"check --fail-on=must\xDBFF"));  // joined by "="

TEST(HandWrittenCommandLine, QuotedArgumentsReachTheRunAsOneUtf8Text) {
  // A requirement id with blanks, a quote, backslashes and non-ASCII letters.
  TempProject project;
  project.write("quorvane.toml",
                "[[requirements]]\nid = \"R\xC3\x89Q \xE2\x80\x94 \\\"a\\\" \\\\b\"\n");
  // The quote escaped by a backslash; the backslash before "b" taken literally.
  const ProcessResult result =
      run_with_tail(project, L"trace --json \"R\u00c9Q \u2014 \\\"a\\\" \\b\"");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"id\": \"R\xC3\x89Q \xE2\x80\x94 \\\"a\\\" \\\\b\""),
            std::string::npos)
      << result.out;
}

TEST(HandWrittenCommandLine, AnUnknownNonAsciiSubcommandIsEchoedAsTyped) {
  TempProject project;
  const ProcessResult result = run_with_tail(project, L"\"l\u00efst \u2014\"");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, std::get<CliExit>(testing::parse({"l\xC3\xAFst \xE2\x80\x94"})).err_text);
}

// Runs the program with standard output and standard error going to files of `project`.
ProcessResult run_into_files(const TempProject& project, const std::wstring& tail) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const auto create = [&](const wchar_t* name) {
    return ::CreateFileW((project.path() / name).c_str(), GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  const HANDLE out = create(L"out.txt");
  const HANDLE err = create(L"err.txt");
  const HANDLE in = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inheritable, OPEN_EXISTING, 0, nullptr);
  ProcessResult result;
  if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE || in == INVALID_HANDLE_VALUE) {
    result.err =
        "cannot open the files: " + platform::os_error_text(static_cast<int>(::GetLastError()));
    return result;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION info{};
  const std::wstring program = program_path();
  std::wstring command_line = L"quorvane " + tail;
  const std::wstring cwd = project.path().native();
  if (::CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       cwd.c_str(), &startup, &info)) {
    ::WaitForSingleObject(info.hProcess, INFINITE);
    DWORD status = 0;
    ::GetExitCodeProcess(info.hProcess, &status);
    result.status = static_cast<int>(status);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
  }
  for (const HANDLE handle : {in, out, err}) ::CloseHandle(handle);
  result.out = project.read("out.txt");
  result.err = project.read("err.txt");
  return result;
}

TEST(RedirectedToFiles, ReportsAndErrorsKeepTheirLineBreaks) {
  TempProject project;
  // No manifest: the parser's own output and the run's error message.
  const ProcessResult help = run_into_files(project, L"help check");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, std::get<CliExit>(testing::parse({"help", "check"})).out_text);
  EXPECT_EQ(help.err, "");

  const ProcessResult usage = run_into_files(project, L"lis");
  EXPECT_EQ(usage.status, 2);
  EXPECT_EQ(usage.out, "");
  EXPECT_EQ(usage.err, std::get<CliExit>(testing::parse({"lis"})).err_text);

  project.write("quorvane.toml",
                "[[requirements]]\nid = \"REQ-A\"\ntitle = \"Caf\xC3\xA9 \xE2\x80\x94 login\"\n"
                "required_stages = [\"impl\"]\n");
  project.write("src/a.rs", "// [impl->REQ-A]\n// [impl->REQ-B]\n");
  const ProcessResult check = run_into_files(project, L"check");
  EXPECT_EQ(check.status, 1);
  EXPECT_EQ(check.out.find('\r'), std::string::npos) << check.out;
  EXPECT_NE(check.out.find("Caf\xC3\xA9 \xE2\x80\x94 login"), std::string::npos) << check.out;
  // The same bytes as through a pipe.
  EXPECT_EQ(check.out, testing::run_quorvane(project.path(), {"check"}, {}).out);
  const ProcessResult json = run_into_files(project, L"check --json");
  EXPECT_TRUE(json.out.ends_with("}\n")) << json.out;
  EXPECT_EQ(json.out.find('\r'), std::string::npos) << json.out;
}

}  // namespace
}  // namespace quorvane
