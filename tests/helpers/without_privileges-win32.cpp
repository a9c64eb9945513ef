#include "helpers/without_privileges.hpp"

namespace quorvane::testing {

std::optional<std::string> why_privileges_cannot_be_dropped() {
  return "Windows has no switch to an unprivileged user like setuid, and ignores POSIX permission "
         "bits";
}

ProbeOutcome run_without_privileges(const std::function<std::string()>&) {
  return {false, false, *why_privileges_cannot_be_dropped()};
}

}  // namespace quorvane::testing
