#include "manifest/toml_mapping.hpp"

#include <algorithm>
#include <cmath>

#include <fmt/format.h>

#include "manifest/nesting_guard.hpp"
#include "support/text.hpp"

namespace quorvane::mapping {
namespace {

std::string float_text(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  std::string text = fmt::format("{}", value);
  // A float keeps its decimal point even when its value is whole.
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

std::string date_text(const toml::date& date) {
  return fmt::format("{:04}-{:02}-{:02}", date.year, date.month, date.day);
}

std::string time_text(const toml::time& time) {
  std::string text = fmt::format("{:02}:{:02}:{:02}", time.hour, time.minute, time.second);
  if (time.nanosecond != 0) {
    std::string fraction = fmt::format("{:09}", time.nanosecond);
    fraction.erase(fraction.find_last_not_of('0') + 1);
    text += "." + fraction;
  }
  return text;
}

std::string offset_text(const toml::time_offset& offset) {
  if (offset.minutes == 0) return "Z";
  const int minutes = offset.minutes < 0 ? -offset.minutes : offset.minutes;
  return fmt::format("{}{:02}:{:02}", offset.minutes < 0 ? '-' : '+', minutes / 60, minutes % 60);
}

}  // namespace

SourcePoint point_of(const toml::node& node) {
  const toml::source_position begin = node.source().begin;
  return SourcePoint{begin.line, begin.column};
}

std::string describe_string(std::string_view text) {
  std::string out = "string \"";
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    const std::optional<char32_t> c = decode_utf8_at(text, pos);
    if (!c) {
      out += "\\u{fffd}";
      continue;
    }
    switch (*c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case 0:
        out += "\\0";
        break;
      default:
        if (*c < 0x20 || (*c >= 0x7F && *c <= 0x9F) || *c == 0x2028 || *c == 0x2029) {
          out += fmt::format("\\u{{{:x}}}", static_cast<std::uint32_t>(*c));
        } else {
          out.append(text.substr(start, pos - start));
        }
    }
  }
  out += '"';
  return out;
}

std::string describe_value(const toml::node& node) {
  switch (node.type()) {
    case toml::node_type::string:
      return describe_string(node.as_string()->get());
    case toml::node_type::integer:
      return fmt::format("integer `{}`", node.as_integer()->get());
    case toml::node_type::floating_point:
      return fmt::format("floating point `{}`", float_text(node.as_floating_point()->get()));
    case toml::node_type::boolean:
      return fmt::format("boolean `{}`", node.as_boolean()->get());
    case toml::node_type::array:
      return "sequence";
    default:
      // Tables, and date-times, which read as tables.
      return "map";
  }
}

bool is_date_time_kind(const toml::node& node) {
  return node.is_date() || node.is_time() || node.is_date_time();
}

std::string date_time_text(const toml::node& node) {
  if (const auto* date = node.as_date()) return date_text(date->get());
  if (const auto* time = node.as_time()) return time_text(time->get());
  if (const auto* stamp = node.as_date_time()) {
    const toml::date_time& value = stamp->get();
    std::string text = date_text(value.date) + "T" + time_text(value.time);
    if (value.offset) text += offset_text(*value.offset);
    return text;
  }
  return {};
}

DocumentFailure invalid_type_text(const toml::node& node, std::string_view description,
                                  std::string_view expected) {
  return DocumentFailure{fmt::format("invalid type: {}, expected {}", description, expected),
                         point_of(node)};
}

DocumentFailure invalid_type(const toml::node& node, std::string_view expected) {
  return invalid_type_text(node, describe_value(node), expected);
}

std::vector<KeyedValue> keys_in_document_order(const toml::table& table) {
  std::vector<KeyedValue> entries;
  entries.reserve(table.size());
  for (const auto& [key, value] : table) entries.push_back({key.str(), &value, key.source().begin});
  std::sort(entries.begin(), entries.end(), [](const KeyedValue& a, const KeyedValue& b) {
    return a.at.line != b.at.line ? a.at.line < b.at.line : a.at.column < b.at.column;
  });
  return entries;
}

Mapped read_text(const toml::node& node, std::string& out) {
  const toml::value<std::string>* text = node.as_string();
  if (text == nullptr) return invalid_type(node, "a string");
  out = text->get();
  return std::nullopt;
}

Mapped read_text(const toml::node& node, std::optional<std::string>& out) {
  return read_text(node, out.emplace());
}

Mapped read_text_list(const toml::node& node, std::vector<std::string>& out) {
  const toml::array* array = node.as_array();
  if (array == nullptr) return invalid_type(node, "a sequence");
  out.clear();
  out.reserve(array->size());
  for (const toml::node& element : *array) {
    if (Mapped failure = read_text(element, out.emplace_back())) return failure;
  }
  return std::nullopt;
}

Mapped read_text_list(const toml::node& node, std::optional<std::vector<std::string>>& out) {
  return read_text_list(node, out.emplace());
}

Result<toml::table> parse_document(std::string_view text) {
  if (std::optional<DocumentFailure> too_deep = find_excessive_table_nesting(text)) {
    return Failure{render_toml_report(text, *too_deep)};
  }
  try {
    return toml::parse(text);
  } catch (const toml::parse_error& error) {
    const toml::source_position at = error.source().begin;
    return Failure{render_toml_report(
        text, DocumentFailure{std::string(error.description()), SourcePoint{at.line, at.column}})};
  }
}

}  // namespace quorvane::mapping
