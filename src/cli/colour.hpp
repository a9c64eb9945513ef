#pragma once

#include <optional>
#include <string>

#include "platform/terminal.hpp"

namespace quorvane {

// The environment variables that steer the colour of help and usage-error output.
struct ColourEnvironment {
  std::optional<std::string> clicolor = std::nullopt;
  std::optional<std::string> clicolor_force = std::nullopt;
  std::optional<std::string> no_color = std::nullopt;
  std::optional<std::string> term = std::nullopt;
  std::optional<std::string> ci = std::nullopt;
};

// Whether output to a stream is coloured: CLICOLOR_FORCE (set, not "0") forces it; otherwise a
// non-empty NO_COLOR, CLICOLOR "0", a stream that is not a terminal or TERM "dumb" turns it off.
// Without TERM a terminal is trusted with colour only under CI or an explicit CLICOLOR.
bool colour_enabled(bool is_terminal, const ColourEnvironment& environment);

ColourEnvironment process_colour_environment();

// The rule applied to one of the process's own streams.
bool colour_enabled_for(platform::Stream stream);

}  // namespace quorvane
