// The functions under test start git with this test program's own environment, so for the whole
// program git reads an empty global configuration and no system one: the developer's settings
// (diff prefixes, external diff programs and the like) never reach these tests.

#include <memory>

#include <gtest/gtest.h>

#include "helpers/environment.hpp"
#include "helpers/temp_project.hpp"
#include "platform/paths.hpp"

namespace quorvane {
namespace {

class IsolatedGitConfig : public ::testing::Environment {
 public:
  void SetUp() override {
    config_dir_ = std::make_unique<testing::TempProject>();
    config_dir_->write("gitconfig", "");
    global_ = std::make_unique<testing::ScopedVariable>(
        "GIT_CONFIG_GLOBAL", platform::path_bytes(config_dir_->path() / "gitconfig"));
    no_system_ = std::make_unique<testing::ScopedVariable>("GIT_CONFIG_NOSYSTEM", "1");
  }
  void TearDown() override {
    no_system_.reset();
    global_.reset();
    config_dir_.reset();
  }

 private:
  std::unique_ptr<testing::TempProject> config_dir_;
  std::unique_ptr<testing::ScopedVariable> global_;
  std::unique_ptr<testing::ScopedVariable> no_system_;
};

[[maybe_unused]] ::testing::Environment* const kIsolatedGitConfig =
    ::testing::AddGlobalTestEnvironment(new IsolatedGitConfig);

}  // namespace
}  // namespace quorvane
