#pragma once

// A small mapping layer from a parsed TOML document onto plain records: every record is read from
// a table (keys in document order, unknown keys skipped unseen), from an array (its fields by
// position) or from a date-time (a table whose only key names no field), and the first failure
// anywhere ends the reading with a message and the position of the value or table concerned.

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <toml++/toml.h>

#include "manifest/toml_report.hpp"
#include "support/result.hpp"

namespace quorvane::mapping {

// nullopt when the value mapped; else the failure that ends the reading.
using Mapped = std::optional<DocumentFailure>;

SourcePoint point_of(const toml::node& node);

// "string \"...\"", "integer `1`", "floating point `1.5`", "boolean `true`", "sequence" or "map".
std::string describe_value(const toml::node& node);
std::string describe_string(std::string_view text);

// The text of a date, a time or a date-time as TOML writes it ("1979-05-27T07:32:00Z").
std::string date_time_text(const toml::node& node);
bool is_date_time_kind(const toml::node& node);

DocumentFailure invalid_type(const toml::node& node, std::string_view expected);
DocumentFailure invalid_type_text(const toml::node& node, std::string_view description,
                                  std::string_view expected);

// The keys of a table in the order in which each first occurs in the text (the library iterates
// them by name).
struct KeyedValue {
  std::string_view key;
  const toml::node* value;
  toml::source_position at;  // where the key first occurs; no two keys share it
};
std::vector<KeyedValue> keys_in_document_order(const toml::table& table);

Mapped read_text(const toml::node& node, std::string& out);
Mapped read_text(const toml::node& node, std::optional<std::string>& out);
Mapped read_text_list(const toml::node& node, std::vector<std::string>& out);
Mapped read_text_list(const toml::node& node, std::optional<std::vector<std::string>>& out);

// Parses `text`, guarded against nesting that would exhaust the stack; a syntax error comes back
// as the rendered report.
Result<toml::table> parse_document(std::string_view text);

template <class Record>
struct Field {
  std::string_view key;
  bool required;
  Mapped (*read)(const toml::node& value, Record& record);
};

template <class Record, std::size_t N>
struct RecordShape {
  std::string_view expected;     // "struct RawScan"
  std::string_view length_text;  // "struct RawScan with 1 element"
  std::array<Field<Record>, N> fields;

  // The field that a key names: its text equals the field name byte for byte.
  std::optional<std::size_t> field_index(std::string_view key) const {
    for (std::size_t i = 0; i < N; ++i) {
      if (fields[i].key == key) return i;
    }
    return std::nullopt;
  }
};

// Fields that no key set: optional ones stay absent, the first required one fails at `at`.
template <class Record, std::size_t N>
Mapped settle_unseen(const RecordShape<Record, N>& shape, const std::array<bool, N>& seen,
                     SourcePoint at) {
  for (std::size_t i = 0; i < N; ++i) {
    if (shape.fields[i].required && !seen[i]) {
      return DocumentFailure{"missing field `" + std::string(shape.fields[i].key) + "`", at};
    }
  }
  return std::nullopt;
}

template <class Record, std::size_t N>
Mapped read_table_form(const toml::table& table, const RecordShape<Record, N>& shape, Record& out) {
  std::array<bool, N> seen{};
  for (const auto& [key, value, at] : keys_in_document_order(table)) {
    const std::optional<std::size_t> index = shape.field_index(key);
    if (!index) continue;
    if (Mapped failure = shape.fields[*index].read(*value, out)) return failure;
    seen[*index] = true;
  }
  return settle_unseen(shape, seen, point_of(table));
}

// Every field is required here, the optional ones too; elements past the last field are ignored.
template <class Record, std::size_t N>
Mapped read_array_form(const toml::array& array, const RecordShape<Record, N>& shape, Record& out) {
  const std::size_t given = array.size();
  for (std::size_t i = 0; i < N && i < given; ++i) {
    if (Mapped failure = shape.fields[i].read(*array.get(i), out)) return failure;
  }
  if (given < N) {
    return DocumentFailure{
        "invalid length " + std::to_string(given) + ", expected " + std::string(shape.length_text),
        point_of(array)};
  }
  return std::nullopt;
}

template <class Record, std::size_t N>
Mapped read_record(const toml::node& node, const RecordShape<Record, N>& shape, Record& out) {
  if (const toml::table* table = node.as_table()) return read_table_form(*table, shape, out);
  if (const toml::array* array = node.as_array()) return read_array_form(*array, shape, out);
  // A date-time reads as a table whose single key names no field.
  if (is_date_time_kind(node)) return settle_unseen(shape, std::array<bool, N>{}, point_of(node));
  return invalid_type(node, shape.expected);
}

template <class Record, std::size_t N>
Mapped read_record_list(const toml::node& node, const RecordShape<Record, N>& shape,
                        std::vector<Record>& out) {
  const toml::array* array = node.as_array();
  if (array == nullptr) return invalid_type(node, "a sequence");
  out.clear();
  out.reserve(array->size());
  for (const toml::node& element : *array) {
    if (Mapped failure = read_record(element, shape, out.emplace_back())) return failure;
  }
  return std::nullopt;
}

// Entries are read in document order; the map orders them by name.
template <class Record, std::size_t N>
Mapped read_record_map(const toml::node& node, const RecordShape<Record, N>& shape,
                       std::map<std::string, Record>& out) {
  if (is_date_time_kind(node)) {
    // It reads as a single entry whose value is the date-time's text, which is no record.
    return invalid_type_text(node, describe_string(date_time_text(node)), shape.expected);
  }
  const toml::table* table = node.as_table();
  if (table == nullptr) return invalid_type(node, "a map");
  out.clear();
  for (const auto& [key, value, at] : keys_in_document_order(*table)) {
    Record record;
    if (Mapped failure = read_record(*value, shape, record)) return failure;
    out.emplace(std::string(key), std::move(record));
  }
  return std::nullopt;
}

// The whole document: parse, then map the root table through `map_root`.
template <class Record>
Result<Record> read_document(std::string_view text,
                             Mapped (*map_root)(const toml::table& root, Record& out)) {
  try {
    Result<toml::table> document = parse_document(text);
    if (!document) return std::move(document).take_failure();
    Record record;
    if (Mapped failure = map_root(document.value(), record)) {
      return Failure{render_toml_report(text, *failure)};
    }
    return record;
  } catch (const std::exception& error) {
    // Only exhaustion of memory gets here; it still ends as one report.
    return Failure{render_toml_report(text, DocumentFailure{error.what(), SourcePoint{}})};
  }
}

}  // namespace quorvane::mapping
