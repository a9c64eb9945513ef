#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "manifest/priority.hpp"

namespace quorvane {

// The validated manifest. Only load_manifest builds one; every guarantee below holds on return.

struct Requirement {
  std::string id;                            // unique within the manifest; any text
  std::optional<std::string> title;          // untested
  std::optional<std::string> type;           // [A-Z][A-Z0-9_-]*, declared when any type is
  std::vector<std::string> required_stages;  // resolved; known stages, order and repeats kept
  Priority priority = Priority::Must;
};

struct TypeDef {
  std::string name;
  std::optional<std::string> description;
};

struct StageDef {
  std::string name;  // [a-z][a-z0-9_-]*, never a built-in stage
  std::optional<std::string> description;
};

struct Signoff {
  std::string requirement;  // a declared requirement id
  std::string stage;        // a known stage
  std::string url;          // not blank; kept untrimmed
};

struct Manifest {
  std::vector<std::filesystem::path> scan_roots;  // as written, relative to the project
  std::vector<Requirement> requirements;          // file order
  std::vector<TypeDef> types;                     // byte order of name
  std::vector<StageDef> stages;                   // custom stages, byte order of name
  std::vector<Signoff> signoffs;                  // file order
};

}  // namespace quorvane
