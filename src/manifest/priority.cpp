#include "manifest/priority.hpp"

namespace quorvane {

std::optional<Priority> priority_from_word(std::string_view word) {
  if (word == "must") return Priority::Must;
  if (word == "should") return Priority::Should;
  if (word == "could") return Priority::Could;
  return std::nullopt;
}

std::string_view priority_word(Priority priority) {
  switch (priority) {
    case Priority::Could:
      return "could";
    case Priority::Should:
      return "should";
    case Priority::Must:
      break;
  }
  return "must";
}

}  // namespace quorvane
