#pragma once

#include <functional>
#include <span>
#include <string>

#include "cli/cli.hpp"
#include "platform/terminal.hpp"

namespace quorvane {

// Whether the help and error texts meant for each stream are coloured.
struct OutputColours {
  bool out = false;
  bool err = false;
};

// cli_parse without the process: the arguments exclude the program path.
CliParse parse_arguments(std::span<const std::string> arguments, OutputColours colours);

// Readies a stream for coloured text and tells whether it can show it (platform's
// prepare_for_colour in the program).
using ColourPreparation = std::function<bool(platform::Stream)>;

// parse_arguments with the colours that the rules chose, `wanted`. Only a stream that is to get
// coloured text is prepared for it, and one that cannot show colour gets the plain text instead.
CliParse parse_arguments_for_streams(std::span<const std::string> arguments, OutputColours wanted,
                                     const ColourPreparation& prepare);

}  // namespace quorvane
