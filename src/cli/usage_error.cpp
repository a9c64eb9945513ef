#include "cli/usage_error.hpp"

#include <cstddef>
#include <optional>

#include <fmt/format.h>

#include "support/text.hpp"

namespace quorvane {

std::string render_usage_error(const UsageError& error, const Style& style) {
  std::string out = style.paint(Tone::Error, "error:") + " " + style.render(error.message) + "\n";
  if (!error.tips.empty()) {
    out += "\n";
    for (const Spans& tip : error.tips) {
      out += "  " + style.paint(Tone::Valid, "tip:") + " " + style.render(tip) + "\n";
    }
  }
  // Appended piece by piece: g++ 12 at -O3 warns falsely about "literal" + std::string&&.
  out.append("\n").append(style.paint(Tone::Heading, "Usage:")).append(" ");
  out.append(style.render(error.usage)).append("\n");
  out.append("\nFor more information, try '").append(style.paint(Tone::Literal, "--help"));
  out.append("'.\n");
  return out;
}

std::string shown_argument(std::string_view argument) {
  std::string out;
  std::size_t pos = 0;
  while (pos < argument.size()) {
    const std::size_t start = pos;
    const std::optional<char32_t> c = decode_utf8_at(argument, pos);
    if (!c) {
      out += "\xEF\xBF\xBD";  // never reached for checked arguments, but never echo raw bytes
      continue;
    }
    const bool control = *c < 0x20 || (*c >= 0x7F && *c <= 0x9F);
    if (control) {
      out += fmt::format("\\u{{{:x}}}", static_cast<unsigned>(*c));
    } else {
      out.append(argument.substr(start, pos - start));
    }
  }
  return out;
}

}  // namespace quorvane
