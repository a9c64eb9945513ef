#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "helpers/os_texts.hpp"
#include "helpers/posix_fixtures.hpp"
#include "helpers/temp_project.hpp"
#include "platform/read_file.hpp"

namespace quorvane::platform {
namespace {

using quorvane::testing::TempProject;

// One buffer through files of very different sizes: each view holds exactly its own file,
// whatever the buffer held before and however large it has grown.
TEST(ReadIntoBuffer, EachViewHoldsExactlyItsFile) {
  TempProject project;
  const std::string large(300000, 'x');
  project.write("large.rs", large + "\n// end");
  project.write("small.rs", "fn a() {}\n");
  project.write("empty.rs", "");
  project.write("bad.rs", "ok \xFF no");
  std::string buffer;
  const struct {
    const char* name;
    std::string content;
  } cases[] = {{"small.rs", "fn a() {}\n"},
               {"large.rs", large + "\n// end"},
               {"small.rs", "fn a() {}\n"},
               {"empty.rs", ""},
               {"large.rs", large + "\n// end"}};
  for (const auto& c : cases) {
    const Result<std::string_view> text =
        read_utf8_file((project.path() / c.name).native(), buffer);
    ASSERT_TRUE(text.ok()) << c.name << ": " << text.error();
    EXPECT_EQ(text.value(), c.content) << c.name;
  }
  const Result<std::string_view> bad = read_utf8_file((project.path() / "bad.rs").native(), buffer);
  ASSERT_FALSE(bad.ok());
  EXPECT_EQ(bad.error(), "stream did not contain valid UTF-8");
  const Result<std::string_view> missing =
      read_utf8_file((project.path() / "none.rs").native(), buffer);
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error(), testing::expected_os_text("No such file or directory (os error 2)",
                                                       testing::win32_error::kFileNotFound));
}

TEST(ReadIntoBuffer, FifoWithoutWriterReadsAsEmpty) {
  if (auto reason = testing::why_no_fifos()) GTEST_SKIP() << *reason;
  TempProject project;
  const auto fifo = project.path() / "pipe.md";
  testing::make_fifo(fifo);
  std::string buffer(100, 'z');  // left over from an earlier file
  const Result<std::string_view> text = read_utf8_file(fifo.native(), buffer);
  ASSERT_TRUE(text.ok()) << text.error();
  EXPECT_EQ(text.value(), "");
}

// The manifest's way: a writer that comes late, and pauses between its pieces, is waited for and
// read until it closes the FIFO.
TEST(ReadWholeText, FifoWaitsForItsWriterAndIsReadUntilTheWriterCloses) {
  if (auto reason = testing::why_no_fifos()) GTEST_SKIP() << *reason;
  TempProject project;
  const auto fifo = project.path() / "quorvane.toml";
  testing::make_fifo(fifo);
  testing::LateFifoWriter writer(fifo, {"[[requirements]]\n", "id = \"REQ-1\"\n"},
                                 std::chrono::milliseconds(200), std::chrono::milliseconds(200));
  const Result<std::string> text = read_utf8_file(fifo, FifoReading::WaitForTheWriter);
  EXPECT_TRUE(writer.finished());
  ASSERT_TRUE(text.ok()) << text.error();
  EXPECT_EQ(text.value(), "[[requirements]]\nid = \"REQ-1\"\n");
}

}  // namespace
}  // namespace quorvane::platform
