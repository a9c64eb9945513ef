#pragma once

#include <cstdint>

#include "trace/records.hpp"

namespace quorvane {

// The requirement counts that head both trace reports. They cover every requirement of the
// trace, whatever the run selected.
struct TraceSummary {
  std::uint64_t requirements = 0;
  std::uint64_t complete = 0;
  std::uint64_t incomplete = 0;
};

TraceSummary summarize_trace(const TraceResult& trace);

}  // namespace quorvane
