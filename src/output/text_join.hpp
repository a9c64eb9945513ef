#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// Appends the parts to `out` with `separator` between neighbours.
inline void append_joined(std::string& out, const std::vector<std::string>& parts,
                          std::string_view separator) {
  bool first = true;
  for (const std::string& part : parts) {
    if (!first) out.append(separator);
    out.append(part);
    first = false;
  }
}

}  // namespace quorvane
