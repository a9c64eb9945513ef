#include "cli/style.hpp"

namespace quorvane {
namespace {

std::string_view escape_for(Tone tone) {
  switch (tone) {
    case Tone::Plain:
      return "";
    case Tone::Heading:
      return "\x1b[1m\x1b[4m";
    case Tone::Literal:
      return "\x1b[1m";
    case Tone::Error:
      return "\x1b[1m\x1b[31m";
    case Tone::Invalid:
      return "\x1b[33m";
    case Tone::Valid:
      return "\x1b[32m";
  }
  return "";
}

}  // namespace

std::string Style::paint(Tone tone, std::string_view text) const {
  const std::string_view escape = escape_for(tone);
  if (!colour_ || escape.empty() || text.empty()) return std::string(text);
  std::string out;
  out.reserve(escape.size() + text.size() + 4);
  out.append(escape);
  out.append(text);
  out.append("\x1b[0m");
  return out;
}

std::string Style::render(const Spans& spans) const {
  std::string out;
  for (const Span& span : spans) out += paint(span.tone, span.text);
  return out;
}

}  // namespace quorvane
