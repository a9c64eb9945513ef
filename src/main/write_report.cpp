#include "main/run_outcome.hpp"
#include "platform/output.hpp"

namespace quorvane {

void write_report(const std::string& text, bool json) {
  if (json) {
    // The line break goes out with the text, which a large report is too big to copy for.
    platform::write_stdout(text, "\n");
  } else {
    platform::write_stdout(text);
  }
}

}  // namespace quorvane
