#include <string>
#include <vector>

#include "main/runs.hpp"
#include "platform/arguments.hpp"
#include "platform/output.hpp"

int main(int argc, char** argv) {
  // A reader that goes away (`quorvane list | head -1`) ends the run quietly, not by a signal.
  quorvane::platform::ignore_broken_pipe_signal();
  const std::vector<std::string> arguments = quorvane::platform::program_arguments(argc, argv);
  std::vector<const char*> pointers;
  pointers.reserve(arguments.size());
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  return quorvane::run_main(static_cast<int>(pointers.size()), pointers.data());
}
