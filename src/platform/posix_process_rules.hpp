#pragma once

#include <string>
#include <string_view>
#include <vector>

// The rules by which the POSIX build finds the program it starts, kept apart from the system
// calls that apply them (as the Windows build's are): pure functions over bytes, built on every
// system so that each build's tests check them.
namespace quorvane::platform::posix {

// Whether `program` names a file by a path of its own (it holds a "/"), to be started as given,
// rather than a name to look up on PATH.
bool names_a_path(std::string_view program);

// The files to try, in order, for a program name looked up on PATH: the name in each absolute
// folder of `path` (":"-separated). Empty and relative entries are skipped, so that neither the
// current folder (which an empty entry means to execvp) nor one below it is ever searched.
std::vector<std::string> path_candidates(std::string_view name, std::string_view path);

}  // namespace quorvane::platform::posix
