#pragma once

// Scan results as text lines, so that a test compares a whole result at once.

#include <algorithm>
#include <string>
#include <vector>

#include "scan/scanner.hpp"

namespace quorvane::testing {

// One line per record, in the result's order: tags, then parse errors, then scan errors.
inline std::vector<std::string> describe(const ScanResult& result) {
  std::vector<std::string> out;
  for (const Tag& t : result.tags) {
    out.push_back("tag " + t.path + ":" + std::to_string(t.line) + " " + t.stage + "->" + t.id);
  }
  for (const ParseError& e : result.parse_errors) {
    out.push_back("parse " + e.path + ":" + std::to_string(e.line));
  }
  for (const ScanError& e : result.scan_errors) out.push_back("error " + e.path + " " + e.message);
  return out;
}

// Entries of one directory come in the file system's order; compare such results unordered.
inline std::vector<std::string> sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace quorvane::testing
