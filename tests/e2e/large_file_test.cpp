// A file larger than one read gives: Linux hands out at most 2,147,479,552 bytes per call, and
// one ReadFile on Windows takes a 32-bit count.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <fmt/format.h>

#include "e2e/machine_room.hpp"
#include "helpers/temp_project.hpp"
#include "platform/paths.hpp"

namespace quorvane {
namespace {

using testing::ProcessResult;
using testing::run_quorvane;
using testing::TempProject;

constexpr std::uintmax_t kMiB = std::uintmax_t{1} << 20;
constexpr std::uintmax_t kGiB = std::uintmax_t{1} << 30;

std::string gib(std::uintmax_t bytes) {
  return fmt::format("{:.1f} GiB", static_cast<double>(bytes) / static_cast<double>(kGiB));
}

// Why this machine cannot run the test, if it cannot: the binary holds the whole file in memory.
std::optional<std::string> lacks_room(const std::filesystem::path& dir, std::uintmax_t size) {
  const std::uintmax_t needed = size + kGiB;  // the file, and the rest of a run with room to spare
  const std::optional<std::uintmax_t> memory = testing::available_memory();
  if (!memory) return "cannot tell the available memory here";
  if (*memory < needed) {
    return "reading the file whole needs about " + gib(needed) + " of free memory; " +
           gib(*memory) + " available";
  }
  std::error_code error;
  const std::filesystem::space_info space = std::filesystem::space(dir, error);
  // The file is sparse, but its last blocks and the file system's own records take some room.
  if (error || space.available < 256 * kMiB)
    return "less than 256 MiB free in " + platform::path_bytes(dir);
  return std::nullopt;
}

TEST(LargeFile, TagOnTheLastLineOfAFileOverTwoGibibytesIsFound) {
  TempProject project;
  // One line of NUL bytes (valid UTF-8) just over 2 GiB long, then the tag on line 2.
  const std::uintmax_t hole = 2 * kGiB + kMiB;
  const std::string tail = "\n<!-- [impl->REQ-BIG] -->\n";
  if (const auto reason = lacks_room(project.path(), hole + tail.size())) {
    GTEST_SKIP() << *reason;
  }
  project.write("quorvane.toml",
                "[[requirements]]\nid = \"REQ-BIG\"\ntitle = \"Reads huge files whole\"\n"
                "required_stages = [\"impl\"]\n");
  const std::filesystem::path big = project.path() / "big.md";
  project.write("big.md", "");
  if (!testing::make_sparse(big)) {
    GTEST_SKIP() << "the file system of " << platform::path_bytes(project.path())
                 << " keeps no holes";
  }
  std::error_code error;
  std::filesystem::resize_file(big, hole, error);
  if (error) GTEST_SKIP() << "cannot make a file of " << hole << " bytes: " << error.message();
  {
    std::fstream file(big, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(hole));
    file.write(tail.data(), static_cast<std::streamsize>(tail.size()));
    ASSERT_TRUE(file) << "cannot write the end of " << platform::path_bytes(big);
  }
  ASSERT_EQ(std::filesystem::file_size(big), hole + tail.size());
  const std::optional<std::uintmax_t> allocated = testing::allocated_bytes(big);
  ASSERT_TRUE(allocated) << "cannot tell the allocated size of " << platform::path_bytes(big);
  if (*allocated > 64 * kMiB) {
    GTEST_SKIP() << "the file system of " << platform::path_bytes(project.path())
                 << " keeps no holes";
  }

  // The project directory and the file in it go with `project`, whether or not this passes.
  const ProcessResult result = run_quorvane(project.path(), {"trace", "REQ-BIG"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "REQ-BIG \u2014 Reads huge files whole\n"
            "  required stages: [impl]\n"
            "  [--] doc (not required)\n"
            "  [OK] impl\n"
            "        big.md:2\n"
            "  [--] unit (not required)\n"
            "  [--] int (not required)\n");
}

}  // namespace
}  // namespace quorvane
