#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/process.hpp"

// The rules by which the Windows build starts a child process, kept apart from the system calls
// that apply them: pure functions over UTF-16 text, built on every system so that each build's
// tests check them.
namespace quorvane::platform::win32 {

// Appends `argument` to `line` so that a program that splits its command line by the rules of
// Microsoft's C runtime (as CommandLineToArgvW does) gets it back unchanged: an empty argument or
// one holding white space or a quote is quoted, a quote inside is escaped by a backslash, and
// backslashes are doubled where they come before a quote (the closing one included).
void append_quoted_argument(std::u16string& line, std::u16string_view argument);

// The whole command line: `program` first, quoted whole (the C runtime reads the program name
// up to the next quote, with no escapes; a Windows path cannot hold a quote), then each argument
// after one space.
std::u16string command_line(std::u16string_view program, const std::vector<std::string>& arguments);

// Whether `program` names a file by a path of its own (it holds a separator or a drive colon), to
// be tried as given, rather than a name to look up on PATH.
bool names_a_path(std::u16string_view program);

// The files to try, in order, for a program name looked up on PATH: each fully qualified folder
// of `path` (";"-separated, quotes removed; empty and relative entries skipped, so that neither
// the current folder nor one below it is ever searched), and in each, a name without extension
// with each extension of `pathext` that CreateProcessW starts without a command interpreter
// (".COM" and ".EXE", in the order and spelling PATHEXT gives them; both, in that order, when
// PATHEXT is empty), or a name with an extension as it is.
std::vector<std::u16string> path_candidates(std::u16string_view name, std::u16string_view path,
                                            std::u16string_view pathext);

// Whether CreateProcessW would run `file` through the command interpreter (a batch file: ".bat"
// or ".cmd", whatever the case, trailing dots and spaces ignored as Windows ignores them).
bool runs_through_command_interpreter(std::u16string_view file);

// Compares two variable names: negative, zero or positive. Windows compares them without regard
// to case, by its own upper-case table.
using NameComparison = int (*)(std::u16string_view, std::u16string_view);

// The entries ("NAME=value") of an environment block: the strings between its zeros.
std::vector<std::u16string> environment_entries(std::u16string_view block);

// The name of an entry: the text before its first "=", not counting a leading one (the "=C:"
// entries hold each drive's current folder under a name that begins with "=").
std::u16string_view environment_name(std::u16string_view entry);

// The block for CreateProcessW with CREATE_UNICODE_ENVIRONMENT: `entries` without those whose
// name `change` sets or removes (by `compare`, so every spelling of the name goes), then the set
// variables (a later setting of a name replacing an earlier one), sorted by name as Windows
// wants them (stably, so entries of equal names keep their order); each entry ended by a zero,
// and one more zero at the end.
std::u16string environment_block(std::vector<std::u16string> entries,
                                 const EnvironmentChange& change, NameComparison compare);

}  // namespace quorvane::platform::win32
