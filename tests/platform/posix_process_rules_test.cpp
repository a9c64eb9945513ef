#include "platform/posix_process_rules.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace quorvane::platform::posix {
namespace {

TEST(PosixNamesAPath, ASlashMakesAPath) {
  for (const char* program : {"git", "git.exe", "my tool", "bin\\git"}) {
    EXPECT_FALSE(names_a_path(program)) << program;
  }
  for (const char* program : {"/usr/bin/git", "bin/git", "./git", "../git", "/"}) {
    EXPECT_TRUE(names_a_path(program)) << program;
  }
}

struct CandidateCase {
  const char* name;
  std::string program;
  std::string path;
  std::vector<std::string> expected;
};

class PosixPathCandidates : public ::testing::TestWithParam<CandidateCase> {};

TEST_P(PosixPathCandidates, GivesTheFilesToTryInOrder) {
  const auto& c = GetParam();
  EXPECT_EQ(path_candidates(c.program, c.path), c.expected);
}

const CandidateCase kCandidateCases[] = {
    {"EachFolderInOrder",
     "git",
     "/usr/local/bin:/usr/bin/",
     {"/usr/local/bin/git", "/usr/bin/git"}},
    {"RepeatedFolderTwice", "git", "/a:/a", {"/a/git", "/a/git"}},
    {"RootFolder", "git", "/", {"/git"}},
    // execvp takes an empty entry for the current folder; "." and "bin" lead there too.
    {"NeitherTheCurrentFolderNorOneRelativeToIt",
     "git",
     ":.:..:bin:./bin:~/bin::/ok:",
     {"/ok/git"}},
    // Quotes and semicolons are part of a POSIX folder's name.
    {"QuotesAndSemicolonsAsTheyAre", "git", "\"/a\":/b;/c", {"/b;/c/git"}},
    {"SpacesKept", "git", "/my tools", {"/my tools/git"}},
    {"EmptyPath", "git", "", {}},
    {"EmptyName", "", "/a", {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, PosixPathCandidates, ::testing::ValuesIn(kCandidateCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvane::platform::posix
