// The functions under test start git with this test program's own environment, so for the whole
// program git reads an empty global configuration and no system one: the developer's settings
// (diff prefixes, external diff programs and the like) never reach these tests.

#include <stdlib.h>

#include <memory>

#include <gtest/gtest.h>

#include "helpers/temp_project.hpp"

namespace quorvane {
namespace {

class IsolatedGitConfig : public ::testing::Environment {
 public:
  void SetUp() override {
    config_dir_ = std::make_unique<testing::TempProject>();
    config_dir_->write("gitconfig", "");
    ::setenv("GIT_CONFIG_GLOBAL", (config_dir_->path() / "gitconfig").c_str(), 1);
    ::setenv("GIT_CONFIG_NOSYSTEM", "1", 1);
  }
  void TearDown() override { config_dir_.reset(); }

 private:
  std::unique_ptr<testing::TempProject> config_dir_;
};

[[maybe_unused]] ::testing::Environment* const kIsolatedGitConfig =
    ::testing::AddGlobalTestEnvironment(new IsolatedGitConfig);

}  // namespace
}  // namespace quorvane
