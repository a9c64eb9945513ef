#include "lint/title_checks.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorvane {
namespace {

std::string words(std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += (i == 0 ? "w" : " w") + std::to_string(i);
  return text;
}

struct WordCase {
  std::string title;
  std::size_t expected;
};

TEST(TitleWords, SplitOnUnicodeWhiteSpaceOnly) {
  const std::vector<WordCase> cases = {
      {"", 0},
      {" \t ", 0},
      {"one", 1},
      {"  one   two  ", 2},
      {"a\tb\tc", 3},
      {"a\u00A0b", 2},
      {"a\u3000b\u3000c", 3},
      {"a\u0085b\u2028c\u205Fd", 4},
      {"a\u2000b\u200Ac", 3},
      // Zero-width space and the Mongolian vowel separator lack the White_Space property.
      {"a\u200Bb\u180Ec", 1},
      {"naïve café", 2},
  };
  for (const WordCase& c : cases) {
    EXPECT_EQ(count_title_words(c.title), c.expected) << c.title;
  }
}

struct CheckCase {
  std::string title;
  std::optional<std::string> message;
};

void expect_check(std::optional<std::string> (*check)(std::string_view),
                  const std::vector<CheckCase>& cases) {
  for (const CheckCase& c : cases) {
    EXPECT_EQ(check(c.title), c.message) << '"' << c.title << '"';
  }
}

TEST(TitleLengthCheck, BoundsAreThreeAndTwentyFiveWords) {
  expect_check(check_length, {
                                 {"one", "title is 1 word(s); want 3..=25"},
                                 {"one two", "title is 2 word(s); want 3..=25"},
                                 {" one\u3000two\t", "title is 2 word(s); want 3..=25"},
                                 {words(3), std::nullopt},
                                 {words(25), std::nullopt},
                                 {words(26), "title is 26 words; want 3..=25"},
                                 {words(40), "title is 40 words; want 3..=25"},
                             });
}

TEST(TitleContainsAndCheck, NeedsTheWordBetweenTwoSpaces) {
  const std::string found = "title contains ' and ' — may smuggle multiple capabilities";
  expect_check(check_contains_and, {
                                       {"Log in and log out", found},
                                       {"Log in AND log out", found},
                                       {"Log in And log out", found},
                                       {"and then log out", std::nullopt},
                                       {"log in, then and", std::nullopt},
                                       {"log in\tand log out", std::nullopt},
                                       {"log in and\tlog out", std::nullopt},
                                       {"log in and, log out", std::nullopt},
                                       {"log (and) out", std::nullopt},
                                       {"log in\u00A0and\u00A0out", std::nullopt},
                                       {"brand android", std::nullopt},
                                   });
}

TEST(TitlePlaceholderCheck, UpperCasesFullyAndTakesTheFirstMarkerOfTheTable) {
  expect_check(check_placeholder,
               {
                   {"Follow mastodon accounts", "title contains placeholder marker 'TODO'"},
                   {"TODO: decide, TBD", "title contains placeholder marker 'TBD'"},
                   {"tbd later todo", "title contains placeholder marker 'TBD'"},
                   {"Fix this FIXME and xxx", "title contains placeholder marker 'FIXME'"},
                   // U+FB01 (the fi ligature) upper-cases to the two letters F and I.
                   {"\uFB01xme the parser", "title contains placeholder marker 'FIXME'"},
                   {"Export as .xxx files", "title contains placeholder marker 'XXX'"},
                   {"Export as .xx files", std::nullopt},
                   {"Store the total", std::nullopt},
                   // Cyrillic lookalikes stay what they are.
                   {"\u0422\u041EDO", std::nullopt},
               });
}

TEST(TitlePlaceholderCheck, UpperCasingUsesTheFullMapping) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Straße", "STRASSE"},
      {"\uFB01le", "FILE"},
      // The root locale: no Turkish dotted capital I.
      {"istanbul", "ISTANBUL"},
      {"ǆ é", "Ǆ É"},
      // Alternate capitals and small letters: the capitals stay.
      {"\u0100\u0101\u0102\u0103\u012F\u0130", "\u0100\u0100\u0102\u0102\u012E\u0130"},
      // Three code points from one; iota subscript to capital iota.
      {"\u0390 \u1FB3", "\u0399\u0308\u0301 \u0391\u0399"},
      // No final-sigma or accent rules when upper-casing in the root locale.
      {"\u03CC\u03C3\u03BF\u03C2", "\u038C\u03A3\u039F\u03A3"},
      // Outside the Basic Multilingual Plane: Deseret, Adlam.
      {"\U00010428\U0001E922", "\U00010400\U0001E900"},
      // Unassigned code points and the last one stay.
      {"\U000E0080\U0010FFFF", "\U000E0080\U0010FFFF"},
      // Each maximal invalid sequence becomes one U+FFFD.
      {"a\xFF!", "A\uFFFD!"},
      {"x\xE2\x82y", "X\uFFFDY"},
      {"\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD"},
      {"\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xC0\xAF", "\uFFFD\uFFFD"},
      {"end\xF0\x9F\x98", "END\uFFFD"},
  };
  for (const auto& [text, upper] : cases) {
    EXPECT_EQ(unicode_upper(text), upper) << text;
  }
}

TEST(TitleTrailingEtcCheck, TestsByteSuffixesAfterTrimmingTheEnd) {
  const auto ends_with = [](std::string suffix) {
    return "title ends with '" + suffix + "' — signals incompleteness";
  };
  expect_check(check_trailing_etc, {
                                       {"Import apples, pears, ETC.  ", ends_with("etc.")},
                                       {"Import apples, pears, Etc\t\u3000", ends_with("etc")},
                                       {"Import apples, pears, fetc", ends_with("etc")},
                                       {"Import apples and so on....", ends_with("...")},
                                       {"Import apples and so on\u2026", ends_with("\u2026")},
                                       {"Import apples (pears, etc.)", std::nullopt},
                                       {"Import apples, etc..", std::nullopt},
                                       {"etc. import apples", std::nullopt},
                                       {"Import apples..", std::nullopt},
                                   });
}

}  // namespace
}  // namespace quorvane
