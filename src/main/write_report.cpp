#include "main/run_outcome.hpp"
#include "platform/output.hpp"

namespace quorvane {

void write_report(const std::string& text, bool json) {
  if (json) {
    std::string with_break;
    with_break.reserve(text.size() + 1);
    with_break.append(text).push_back('\n');
    platform::write_stdout(with_break);
  } else {
    platform::write_stdout(text);
  }
}

}  // namespace quorvane
