#pragma once

#include <span>
#include <string>

#include "cli/cli.hpp"

namespace quorvane {

// Whether the help and error texts meant for each stream are coloured.
struct OutputColours {
  bool out = false;
  bool err = false;
};

// cli_parse without the process: the arguments exclude the program path.
CliParse parse_arguments(std::span<const std::string> arguments, OutputColours colours);

}  // namespace quorvane
