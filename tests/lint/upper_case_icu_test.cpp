// The generated upper-case table against ICU's root-locale upper-casing, which the title lint
// used before and which builds without ICU must still match.
#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/stringpiece.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lint/title_checks.hpp"
#include "lint/upper_case_data.hpp"
#include "support/text.hpp"

namespace quorvane {
namespace {

std::string icu_upper(std::string_view text) {
  icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  unicode.toUpper(icu::Locale::getRoot());
  std::string out;
  unicode.toUTF8String(out);
  return out;
}

std::string utf8(char32_t c) {
  std::string out;
  append_utf8(out, c);
  return out;
}

std::string code_point_name(char32_t c) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
  return name;
}

std::string code_points_of(std::string_view text) {
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::optional<char32_t> c = decode_utf8_at(text, pos);
    if (!out.empty()) out += ' ';
    out += c ? code_point_name(*c) : "(invalid)";
  }
  return out.empty() ? "(empty)" : out;
}

// "U+0061..U+007A, U+00DF": runs of consecutive code points joined.
std::string as_ranges(const std::vector<char32_t>& sorted) {
  std::string out;
  for (std::size_t i = 0; i < sorted.size();) {
    std::size_t j = i;
    while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1) ++j;
    if (!out.empty()) out += ", ";
    out += code_point_name(sorted[i]);
    if (j > i) out += ".." + code_point_name(sorted[j]);
    i = j + 1;
  }
  return out;
}

TEST(UpperCaseTableAgainstIcu, EveryCodePointMapsAsIcuDoesInTheRootLocale) {
  std::size_t compared = 0;
  std::vector<char32_t> differing;
  std::string details;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    ++compared;
    const std::string ours = unicode_upper(utf8(c));
    const std::string icu = icu_upper(utf8(c));
    if (ours == icu) continue;
    differing.push_back(c);
    if (differing.size() <= 20) {
      details += "\n  " + code_point_name(c) + ": table " + code_points_of(ours) + ", ICU " +
                 code_points_of(icu);
    }
  }
  EXPECT_EQ(compared, 0x110000u - 0x800u);
  EXPECT_TRUE(differing.empty()) << differing.size() << " code point(s) differ (table from Unicode "
                                 << upper_case_data::unicode_version() << ", ICU implements "
                                 << U_UNICODE_VERSION << "): " << as_ranges(differing)
                                 << "\nfirst differences:" << details;
}

TEST(UpperCaseTableAgainstIcu, TextsAndInvalidBytesAsIcuDoes) {
  // Every scalar value in one text: casing in the root locale takes no context.
  std::string all;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c < 0xD800 || c > 0xDFFF) append_utf8(all, c);
  }
  const std::vector<std::string> texts = {
      "",
      all,
      "Stra\u00DFe \uFB03x \u0149 \u01F0 \u1E96 \u1F80\u1FB3\u1FFC \u0390\u03B0 \u0587",
      "\u03CC\u03C3\u03BF\u03C2 i\u0307 \u0345",
      // Invalid UTF-8: stray and overlong bytes, surrogates, beyond U+10FFFF, cut sequences.
      "a\xFF-\x80\x80",
      "\xC0\xAF\xE0\x80\xAF\xF8\x88\x80\x80\x80",
      "\xED\xA0\x80\xED\xBF\xBF",
      "\xF4\x90\x80\x80",
      "x\xE2\x82y\xF0\x9F\x98z",
      "end\xF0\x9F\x98",
      "end\xC3",
  };
  for (const std::string& text : texts) {
    const std::string ours = unicode_upper(text);
    const std::string icu = icu_upper(text);
    if (ours == icu) continue;
    std::size_t at = 0;
    while (at < ours.size() && at < icu.size() && ours[at] == icu[at]) ++at;
    ADD_FAILURE() << "upper-casing of " << text.size() << " bytes differs from byte " << at
                  << ": table " << code_points_of(std::string_view(ours).substr(at, 16)) << ", ICU "
                  << code_points_of(std::string_view(icu).substr(at, 16));
  }
}

}  // namespace
}  // namespace quorvane
