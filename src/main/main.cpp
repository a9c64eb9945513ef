#include <string>
#include <vector>

#include "main/runs.hpp"
#include "platform/arguments.hpp"
#include "platform/output.hpp"

int main(int argc, char** argv) {
  // A reader that goes away (`quorvane list | head -1`) ends the run quietly, not by a signal.
  quorvane::platform::ignore_broken_pipe_signal();
  const std::vector<std::string> arguments = quorvane::platform::program_arguments(argc, argv);
  return quorvane::run_main(arguments);
}
