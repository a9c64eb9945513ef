#pragma once

namespace quorvane::testing {

// Why the tests that drive the real git program are skipped on Windows.
inline constexpr const char* kNeedsRealGit =
    "drives the real git program, and git for Windows is not available here (wine starts the "
    "Linux git but does not connect its output); the Linux build runs these";

}  // namespace quorvane::testing
