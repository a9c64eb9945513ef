#include "cli/similar_name.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace quorvane {
namespace {

TEST(JaroWinkler, MatchesTheTextbookValues) {
  EXPECT_NEAR(jaro_winkler("MARTHA", "MARHTA"), 0.9611, 1e-4);
  EXPECT_NEAR(jaro_winkler("DWAYNE", "DUANE"), 0.84, 1e-4);
  EXPECT_NEAR(jaro_winkler("DIXON", "DICKSONX"), 0.8133, 1e-4);
  EXPECT_DOUBLE_EQ(jaro_winkler("same", "same"), 1.0);
  EXPECT_DOUBLE_EQ(jaro_winkler("abc", "xyz"), 0.0);
  EXPECT_DOUBLE_EQ(jaro_winkler("", "list"), 0.0);
  EXPECT_DOUBLE_EQ(jaro_winkler("a", "a"), 1.0);
}

TEST(MostSimilarName, SuggestsTyposAndStaysQuietOnNonsense) {
  const std::vector<std::string> commands{"list", "trace", "check", "lint", "review", "help"};
  struct Case {
    const char* typed;
    std::optional<std::string> suggested;
  };
  const Case cases[] = {
      {"lis", "list"},
      {"lsit", "list"},
      {"chec", "check"},
      {"tarce", "trace"},
      {"revew", "review"},
      {"hlep", "help"},
      {"xyzzy", std::nullopt},
      {"test", std::nullopt},
      {"l", std::nullopt},
      {"", std::nullopt},
      // "li" is as close to "list" as to "lint": the first defined wins.
      {"li", "list"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(most_similar_name(c.typed, commands), c.suggested) << c.typed;
  }
  EXPECT_EQ(most_similar_name("jsn", {"missing", "type", "json", "help"}), "json");
  EXPECT_EQ(most_similar_name("version", {"missing", "type", "json", "help"}), std::nullopt);
}

}  // namespace
}  // namespace quorvane
