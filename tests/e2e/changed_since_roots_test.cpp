// review --changed-since keeps the tags on added lines of the files its scan roots lead to,
// however a root was written: git names each file by its own path, the records by the root's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/queued_items.hpp"
#include "helpers/file_links.hpp"
#include "helpers/git_repo.hpp"

namespace quorvane {
namespace {

using testing::GitRepo;

TEST(ReviewChangedSinceRoots, RootsThroughALinkOrDotDotKeepWhatThePlainRootKeeps) {
  if (const auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  testing::FileLinks links;
  repo.write("src/a.rs", "// [impl->REQ-1]\n");
  repo.write("docs/spec.md", "[doc->REQ-1] intro\n");
  repo.write("other/keep.md", "\n");
  if (auto reason = links.to_directory("src", repo.path() / "srclink")) GTEST_SKIP() << *reason;
  const std::string base = repo.commit_all("base");
  repo.write("src/a.rs", "// [impl->REQ-1]\n// [unit->REQ-1]\n");
  repo.write("docs/spec.md", "[doc->REQ-1] intro\n[int->REQ-1] added\n");

  struct Case {
    std::string roots;       // the TOML list
    std::string placements;  // what review lists since the base
  };
  const std::string heading = "### REQ-1 \u2014 First\n";
  const Case cases[] = {
      {R"(["src", "docs/spec.md"])", heading + "- int  docs/spec.md:2\n- unit  src/a.rs:2\n\n"},
      {R"(["other/../src", "docs/../docs/spec.md"])",
       heading + "- int  docs/../docs/spec.md:2\n- unit  other/../src/a.rs:2\n\n"},
      {R"(["srclink", "docs"])", heading + "- int  docs/spec.md:2\n- unit  srclink/a.rs:2\n\n"},
      {R"(["srclink/../src", "./src"])",
       heading + "- unit  src/a.rs:2\n- unit  srclink/../src/a.rs:2\n\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.roots);
    repo.write("quorvane.toml", "[scan]\nroots = " + c.roots +
                                    "\n[[requirements]]\nid = \"REQ-1\"\n" + "title = \"First\"\n");
    const auto placements = testing::review_placements(repo, repo.path(), base);
    EXPECT_EQ(placements.text, c.placements);
    EXPECT_EQ(placements.json, c.placements);
  }

  // The records keep the root as written, in every report.
  repo.write("quorvane.toml",
             "[scan]\nroots = [\"other/../src\"]\n[[requirements]]\nid = \"REQ-1\"\n");
  const auto trace = repo.run_quorvane(repo.path(), {"trace", "REQ-1"});
  EXPECT_EQ(trace.status, 0) << trace.err;
  EXPECT_NE(trace.out.find("other/../src/a.rs:1"), std::string::npos) << trace.out;
  EXPECT_NE(trace.out.find("other/../src/a.rs:2"), std::string::npos) << trace.out;
}

}  // namespace
}  // namespace quorvane
