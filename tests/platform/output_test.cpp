#include "platform/output.hpp"

#include <string>

#include <gtest/gtest.h>

#include "stdout_pipe.hpp"

namespace quorvane::platform {
namespace {

using testing::Mode;
using testing::Outcome;
using testing::Reader;
using testing::write_through_pipe;

// Far more than a pipe holds, so that the writer must wait for its reader.
const std::string kLargeOutput(4 << 20, 'q');

TEST(WriteStdout, WaitsForAFullNonBlockingPipeInsteadOfFailing) {
  // A parent may hand over a non-blocking pipe; full for now is not a failure.
  const testing::Ending ending =
      write_through_pipe(kLargeOutput, std::nullopt, Reader::ReadsAllLate, Mode::NonBlocking);
  EXPECT_EQ(ending.outcome, Outcome::Done);
  EXPECT_EQ(ending.received.size(), kLargeOutput.size());
  EXPECT_EQ(ending.received, kLargeOutput);
}

TEST(WriteStdout, ReaderLeavingPartWayIsTheReaderGone) {
  // `quorvane list | head -1`: the writer is waiting in the middle of its report.
  for (const Mode mode : {Mode::Blocking, Mode::NonBlocking}) {
    const testing::Ending ending =
        write_through_pipe(kLargeOutput, std::nullopt, Reader::LeavesAfterOneByte, mode);
    EXPECT_EQ(ending.outcome, Outcome::ReaderGone)
        << "non-blocking: " << (mode == Mode::NonBlocking);
    EXPECT_EQ(ending.received, "q");
  }
}

TEST(WriteStdout, TextAndTailArriveInOrderThroughAFullPipe) {
  const testing::Ending ending =
      write_through_pipe(kLargeOutput, "\n", Reader::ReadsAllLate, Mode::Blocking);
  EXPECT_EQ(ending.outcome, Outcome::Done);
  EXPECT_EQ(ending.received.size(), kLargeOutput.size() + 1);
  EXPECT_TRUE(ending.received == kLargeOutput + "\n");
}

}  // namespace
}  // namespace quorvane::platform
