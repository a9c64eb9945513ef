#pragma once

#include "manifest/model.hpp"
#include "scan/records.hpp"
#include "trace/records.hpp"

namespace quorvane {

TraceResult build_trace(const Manifest& manifest, const ScanResult& scan);

}  // namespace quorvane
