#include "cli/colour.hpp"

#include "platform/environment.hpp"

namespace quorvane {

bool colour_enabled(bool is_terminal, const ColourEnvironment& environment) {
  if (environment.clicolor_force && *environment.clicolor_force != "0") return true;
  if (environment.no_color && !environment.no_color->empty()) return false;
  if (environment.clicolor == "0") return false;
  if (!is_terminal) return false;
  if (environment.term == "dumb") return false;
  if (environment.term) return true;
  return environment.ci.has_value() || environment.clicolor.has_value();
}

ColourEnvironment process_colour_environment() {
  return ColourEnvironment{
      .clicolor = platform::environment_variable("CLICOLOR"),
      .clicolor_force = platform::environment_variable("CLICOLOR_FORCE"),
      .no_color = platform::environment_variable("NO_COLOR"),
      .term = platform::environment_variable("TERM"),
      .ci = platform::environment_variable("CI"),
  };
}

bool colour_enabled_for(platform::Stream stream) {
  return colour_enabled(platform::is_terminal(stream), process_colour_environment());
}

}  // namespace quorvane
