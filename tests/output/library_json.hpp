#pragma once

#include <cstddef>
#include <string>

#include <nlohmann/json.hpp>

namespace quorvane {

// The JSON library's own form of the reports, the reference the hand-written writers must match.
using Json = nlohmann::ordered_json;

// The library's dump with the reports' layout: two-space indentation, non-ASCII unescaped,
// invalid UTF-8 replaced, no line break after the closing brace.
inline std::string dump_json(const Json& document) {
  return document.dump(2, ' ', false, Json::error_handler_t::replace);
}

// An empty JSON object with room for `members` members.
inline Json json_object(std::size_t members) {
  Json object = Json::object();
  object.get_ref<Json::object_t&>().reserve(members);
  return object;
}

// An empty JSON array with room for `elements` elements.
inline Json json_array(std::size_t elements) {
  Json array = Json::array();
  array.get_ref<Json::array_t&>().reserve(elements);
  return array;
}

// Appends a member whose key the caller knows to be new. The ordered map's own insertion
// searches the keys first, which turns large objects quadratic.
inline void append_member(Json& object, std::string key, Json value) {
  object.get_ref<Json::object_t&>().emplace_back(std::move(key), std::move(value));
}

}  // namespace quorvane
