#include "main/run_outcome.hpp"
#include "platform/output.hpp"

namespace quorvane {

RunOutcome outcome_after_output(const platform::WriteResult& result, int status) {
  if (const auto* failed = std::get_if<platform::WriteFailed>(&result)) {
    return Failure{"cannot write to standard output: " + failed->message};
  }
  return status;
}

RunOutcome write_report(const std::string& text, bool json, int status) {
  // The line break goes out with the text, which a large report is too big to copy for.
  return outcome_after_output(
      json ? platform::write_stdout(text, "\n") : platform::write_stdout(text), status);
}

}  // namespace quorvane
