#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "manifest/toml_report.hpp"

namespace quorvane {

// The TOML library limits nested arrays and inline tables itself, but not the tables that dotted
// keys and table headers nest; it builds and frees those recursively, so a hostile manifest with
// tens of thousands of key segments would overflow the stack. This many nested tables is far
// beyond any real manifest and well within the stack.
inline constexpr std::size_t kMaxNestedTables = 1000;

// A cheap lexical pass over TOML text that follows headers, keys, strings, comments, arrays and
// inline tables; it reports where the nesting of tables first exceeds kMaxNestedTables. Text that
// is not valid TOML never makes it fail to end; the parser reports such text itself.
std::optional<DocumentFailure> find_excessive_table_nesting(std::string_view text);

}  // namespace quorvane
