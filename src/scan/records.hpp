#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvane {

struct Tag {
  std::string stage;  // a member of the run's stage set, as written
  std::string id;     // satisfies the tag id grammar; need not be declared
  std::string path;   // record path
  std::uint64_t line = 0;
};

struct ParseError {
  std::string path;
  std::uint64_t line = 0;
};

struct ScanError {
  std::string path;
  std::string message;
};

// Each list in discovery order.
struct ScanResult {
  std::vector<Tag> tags;
  std::vector<ParseError> parse_errors;
  std::vector<ScanError> scan_errors;
};

}  // namespace quorvane
