// End-to-end runs of lint and review --changed-since under a German locale. git translates its
// messages, and lint tells a manifest that is new since the revision by git's English wording.
#include <gtest/gtest.h>

#include <locale>
#include <map>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "e2e/queued_items.hpp"
#include "helpers/git_repo.hpp"

namespace quorvane {
namespace {

using testing::GitRepo;
using testing::ProcessResult;
using Variables = std::map<std::string, std::optional<std::string>>;

constexpr const char* kGermanLocale = "de_DE.UTF-8";

const Variables kGerman = {{"LANG", kGermanLocale}, {"LC_ALL", kGermanLocale}, {"LANGUAGE", "de"}};
const Variables kEnglish = {{"LANG", "C"}, {"LC_ALL", "C"}, {"LANGUAGE", std::nullopt}};

bool locale_installed(const char* name) {
  try {
    const std::locale locale(name);
    return true;
  } catch (const std::runtime_error&) {
    return false;
  }
}

class GermanLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
    if (!locale_installed(kGermanLocale)) {
      GTEST_SKIP() << "the locale " << kGermanLocale
                   << " is not installed here (scripts/install-deps.sh generates it)";
    }
    // Without git's translations every run would be English and prove nothing.
    const auto git_error = [&](const Variables& variables) {
      auto all = repo_.environment();
      all.insert(variables.begin(), variables.end());
      return testing::run_process("git", {"git", "rev-parse", "--verify", "no-such-revision"},
                                  testing::RunOptions{repo_.path(), all})
          .err;
    };
    if (git_error(kGerman) == git_error(kEnglish)) {
      GTEST_SKIP() << "git prints no German messages here (its translations are not installed)";
    }
  }

  GitRepo repo_;
};

TEST_F(GermanLocale, LintTakesEveryRequirementAsNewWhenTheManifestIsNewSinceTheRevision) {
  repo_.write("README.md", "start\n");
  repo_.commit_all("base");
  repo_.git({"tag", "base"});
  repo_.write("quorvane.toml",
              "[[requirements]]\nid = \"REQ-1\"\ntitle = \"Users sign in with email\"\n"
              "[[requirements]]\nid = \"REQ-2\"\ntitle = \"Sessions expire after idle time\"\n");

  const ProcessResult text =
      repo_.run_quorvane(repo_.path(), {"lint", "--changed-since", "base"}, kGerman);
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.err, "");
  EXPECT_EQ(text.out.substr(0, text.out.find('\n')),
            "Requirement quality: no deterministic findings; 2 requirements queued for agent "
            "review.");

  const ProcessResult json =
      repo_.run_quorvane(repo_.path(), {"lint", "--changed-since", "base", "--json"}, kGerman);
  ASSERT_EQ(json.status, 0) << json.err;
  const auto document = nlohmann::json::parse(json.out);
  EXPECT_EQ(document["findings"], nlohmann::json::array());
  const auto prompt = document["agentPrompt"].get<std::string>();
  EXPECT_NE(prompt.find("You are reviewing 2 requirement(s)"), std::string::npos) << prompt;
  EXPECT_NE(prompt.find("### REQ-1\n"), std::string::npos) << prompt;
  EXPECT_NE(prompt.find("### REQ-2\n"), std::string::npos) << prompt;
}

TEST_F(GermanLocale, LintAndReviewGiveWhatTheyGiveInEnglish) {
  repo_.write("README.md", "start\n");
  const auto before_manifest = repo_.commit_all("before the manifest");
  repo_.write("quorvane.toml",
              "[[requirements]]\nid = \"REQ-1\"\ntitle = \"Users sign in with email\"\n");
  repo_.write("docs/a.md", "intro\n");
  const auto with_manifest = repo_.commit_all("with the manifest");
  repo_.write("quorvane.toml",
              "[[requirements]]\nid = \"REQ-1\"\ntitle = \"TBD users sign in\"\n"
              "[[requirements]]\nid = \"REQ-2\"\ntitle = \"Sessions expire after idle time\"\n");
  repo_.write("docs/a.md", "intro\n[impl->REQ-1]\n");

  for (const std::string command : {"lint", "review"}) {
    for (const std::string& revision : {before_manifest, with_manifest, std::string("nope")}) {
      SCOPED_TRACE(command + " --changed-since " + revision);
      const auto english =
          repo_.run_quorvane(repo_.path(), {command, "--changed-since", revision}, kEnglish);
      const auto german =
          repo_.run_quorvane(repo_.path(), {command, "--changed-since", revision}, kGerman);
      EXPECT_EQ(german.status, english.status);
      EXPECT_EQ(german.out, english.out);
      EXPECT_EQ(german.err, english.err);
    }
  }
}

TEST_F(GermanLocale, ReviewListsExactlyTheTagsOnAddedLines) {
  repo_.write("quorvane.toml", "[[requirements]]\nid = \"REQ-1\"\ntitle = \"First\"\n");
  repo_.write("docs/a.md", "[unit->REQ-1] existing\n");
  const auto base = repo_.commit_all("base");
  repo_.write("docs/a.md", "[unit->REQ-1] existing\n[impl->REQ-1] added\n");

  const auto placements = testing::review_placements(repo_, repo_.path(), base, kGerman);
  const std::string expected = "### REQ-1 \u2014 First\n- impl  docs/a.md:2\n\n";
  EXPECT_EQ(placements.text, expected);
  EXPECT_EQ(placements.json, expected);
}

}  // namespace
}  // namespace quorvane
