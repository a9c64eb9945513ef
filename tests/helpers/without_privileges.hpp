#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace quorvane::testing {

struct ProbeOutcome {
  bool available = true;  // false where the system cannot run a probe without privileges
  bool ok = false;        // the child dropped its privileges, ran the probe and ended normally
  std::string output;     // what the probe returned, or why the child failed or is not available
};

// Why run_without_privileges cannot work on this system (Windows has no user switching of this
// kind), or nothing where it can. A test that needs it skips with this reason before it builds
// its fixture.
std::optional<std::string> why_privileges_cannot_be_dropped();

// Root ignores permission bits, so a test about unreadable entries would see nothing when the
// suite runs as root. This runs `probe` in a forked child that has given up root first (when it
// had it) and hands back the text the probe returned. The fixture must be readable by others.
// Where the system cannot do this, the outcome is not `available` and its output says why.
ProbeOutcome run_without_privileges(const std::function<std::string()>& probe);

// Lets the unprivileged child reach every entry below `top` that is not locked on purpose.
void open_to_others(const std::filesystem::path& top);

}  // namespace quorvane::testing
