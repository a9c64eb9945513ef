#pragma once

#include <cstddef>
#include <string>

#include "output/json_report.hpp"

namespace quorvane {

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
