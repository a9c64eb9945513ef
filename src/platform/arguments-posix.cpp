#include "platform/arguments.hpp"

namespace quorvane::platform {

std::vector<std::string> program_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

}  // namespace quorvane::platform
