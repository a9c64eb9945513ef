#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// The roles that text plays in help and usage-error output; each has its own look in colour.
enum class Tone {
  Plain,
  Heading,  // "Usage:", "Options:", ...
  Literal,  // names the user types: commands and options
  Error,    // the "error:" label
  Invalid,  // what the user typed wrongly
  Valid,    // a suggested name, the "tip:" label
};

struct Span {
  Tone tone;
  std::string text;
};

using Spans = std::vector<Span>;

class Style {
 public:
  explicit Style(bool colour) : colour_(colour) {}

  std::string paint(Tone tone, std::string_view text) const;
  std::string render(const Spans& spans) const;

 private:
  bool colour_;
};

}  // namespace quorvane
