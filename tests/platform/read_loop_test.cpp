#include "platform/read_loop.hpp"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace quorvane::platform {
namespace {

// A file as a read step sees it: `content` handed out from the front, read i giving at most
// limits[i] bytes (the last limit holds for every later read; none: as much as there is room
// for). `more_later` stands for a pipe whose writer is still there: once the content is out,
// reads find nothing for now instead of the end.
struct ScriptedFile {
  std::string content;
  std::vector<std::size_t> limits;
  bool more_later = false;
  std::size_t position = 0;
  std::size_t reads = 0;

  ReadSomeOutcome read(char* into, std::size_t room) {
    std::size_t count = std::min(room, content.size() - position);
    if (!limits.empty()) count = std::min(count, limits[std::min(reads, limits.size() - 1)]);
    ++reads;
    if (count == 0 && more_later) return NothingYet{};
    std::memcpy(into, content.data() + position, count);
    position += count;
    return BytesRead{count};
  }
};

std::string text_of(std::size_t size) {
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i % 26);
  return text;
}

// Reads that each give less than the one before, ending well short of the content.
std::vector<std::size_t> shrinking_limits(std::size_t first) {
  std::vector<std::size_t> limits;
  for (std::size_t n = first; n > 0; n /= 2) limits.push_back(n);
  return limits;
}

TEST(ReadToEnd, ShortReadsAreNoEndOfTheFile) {
  const std::string content = text_of(300000);
  const struct {
    const char* name;
    ScriptedFile file;
    std::optional<std::size_t> reported_size;
    std::size_t expected_length;  // of the content's front
    std::size_t reads;            // 0: not counted
  } cases[] = {
      // The common case costs a single read: nothing asks for the end once the size is there.
      {"ordinary file", {content, {}}, content.size(), content.size(), 1},
      {"each read less than the one before",
       {content, shrinking_limits(100000)},
       content.size(),
       content.size(),
       0},
      // As Linux does beyond 2 GiB: every read capped below the size, the file read whole.
      {"capped per read", {content, {70000}}, content.size(), content.size(), 5},
      {"one byte per read", {text_of(5000), {1}}, 5000, 5000, 5000},
      // A size of 0 says nothing; special files hold data anyway.
      {"size 0 that holds data", {content, {4096}}, 0, content.size(), 0},
      {"empty file", {"", {}}, 0, 0, 1},
      {"shrank since its size was taken", {text_of(1000), {300}}, 5000, 1000, 5},
      {"grew since its size was taken", {content, {}}, 1000, content.size(), 0},
      // What has come once the size is reached is the file, even if more is on its way.
      {"grew, read in pieces", {content, {50000}}, 1000, 50000, 1},
      {"pipe: chunks until nothing comes",
       {content, {4096}, true},
       std::nullopt,
       content.size(),
       0},
      {"pipe without data", {"", {}, true}, std::nullopt, 0, 1},
  };
  for (auto c : cases) {
    SCOPED_TRACE(c.name);
    std::string buffer;
    const Result<std::size_t> length =
        read_to_end([&](char* into, std::size_t room) { return c.file.read(into, room); },
                    c.reported_size, buffer);
    ASSERT_TRUE(length.ok()) << length.error();
    ASSERT_EQ(length.value(), c.expected_length);
    ASSERT_LE(length.value(), buffer.size());
    // Not EXPECT_EQ on the texts: a failure would print all of them.
    EXPECT_TRUE(std::string_view(buffer.data(), length.value()) ==
                std::string_view(c.file.content).substr(0, c.expected_length));
    if (c.reads != 0) {
      EXPECT_EQ(c.file.reads, c.reads);
    }
  }
}

TEST(ReadToEnd, BufferKeptFromALargerFileGivesOnlyTheNewContent) {
  std::string buffer(200000, 'z');
  ScriptedFile file{text_of(700), {100}};
  const Result<std::size_t> length =
      read_to_end([&](char* into, std::size_t room) { return file.read(into, room); }, 700, buffer);
  ASSERT_TRUE(length.ok()) << length.error();
  EXPECT_EQ(std::string_view(buffer.data(), length.value()), text_of(700));
  EXPECT_EQ(buffer.size(), 200000u);  // reused, not shrunk or grown
}

TEST(ReadToEnd, FailurePartWayIsTheFailureNotAShorterFile) {
  ScriptedFile file{text_of(10000), {1000}};
  std::string buffer;
  const Result<std::size_t> length = read_to_end(
      [&](char* into, std::size_t room) -> ReadSomeOutcome {
        if (file.reads == 3) return Failure{"Input/output error (os error 5)"};
        return file.read(into, room);
      },
      10000, buffer);
  ASSERT_FALSE(length.ok());
  EXPECT_EQ(length.error(), "Input/output error (os error 5)");
}

}  // namespace
}  // namespace quorvane::platform
