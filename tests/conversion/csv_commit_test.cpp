// What the commit of the CSV promises on every platform: a run that fails
// at any point leaves an earlier CSV exactly as it was and nothing beside
// it, running out of memory included. Memory runs out on demand here: this
// program replaces the global allocator with one that can be told to fail.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

#include "conversion/run_conversion.h"
#include "tests/support/test_files.h"

namespace {

// Allocations still allowed before they fail; negative for no limit.
std::atomic<long> allocationsLeft{-1};
// Whether, once the limit is reached, every later allocation fails too
// (memory gone for good) or only that one (a passing shortage).
std::atomic<bool> failForGood{false};
std::atomic<bool> failed{false};

}  // namespace

// GCC sees malloc and free behind new and delete here and takes them for a
// mismatch; they are this program's allocator.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  const long left = allocationsLeft.load();
  if (left == 0) {
    failed = true;
    if (!failForGood) allocationsLeft = -1;
    throw std::bad_alloc();
  }
  if (left > 0) allocationsLeft = left - 1;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace ravuvur {
namespace {

using ziz_test::Arrival;
using ziz_test::Departure;
using ziz_test::MovementFile;
using Strings = std::vector<std::string>;

using ziz_test::kEarlierCsv;

// The number a statistics line (code `code`) shows.
int Statistic(const Strings& messages, std::string_view code) {
  const auto line = std::find_if(messages.begin(), messages.end(),
                                 [&](const std::string& m) { return m.substr(0, 3) == code; });
  return line == messages.end() ? -1 : std::stoi(line->substr(line->rfind(' ') + 1));
}

class CsvCommitContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ziz_test::WriteFile(input, MovementFile("00003", {Departure(), Arrival(), Departure()}));
    ziz_test::WriteFile(csv, kEarlierCsv);
  }
  // Runs with allocation number `n` of the run (0-based) failing; true when
  // the run got that far.
  bool RunFailingAllocation(long n, ModuleState& state) {
    failed = false;
    allocationsLeft = n;
    const bool converted = RunConversion(state, input);
    allocationsLeft = -1;
    if (!failed) {
      EXPECT_TRUE(converted);
    }
    return failed;
  }

  ziz_test::TempDir dir;
  const std::string input = dir / "mov.dat";
  const std::string csv = dir / "MOV.CSV";
};

TEST_F(CsvCommitContractTest, CompleteRunReplacesTheCsvAndLeavesNothingElse) {
  ModuleState state = ziz_test::FixedClockState();
  ASSERT_TRUE(RunConversion(state, input));
  EXPECT_EQ(ziz_test::ReadFile(csv).find("earlier"), std::string::npos);
  EXPECT_EQ(dir.Entries(), (Strings{"MOV.CSV", "mov.dat"}));
}

TEST_F(CsvCommitContractTest, EachAllocationThatFailsEndsTheRunWithTheEarlierCsvIntact) {
  long n = 0;
  int movementsSeen = 0;
  for (;; ++n) {
    SCOPED_TRACE("allocation " + std::to_string(n));
    ModuleState state = ziz_test::FixedClockState();
    if (!RunFailingAllocation(n, state)) break;
    const Strings messages = ziz_test::Messages(state.log);
    EXPECT_NE(std::find(messages.begin(), messages.end(), "029 ERRO: memória insuficiente"),
              messages.end());
    EXPECT_EQ(messages.back().substr(0, 4), "017 ") << "the statistics still close the log";
    EXPECT_EQ(Statistic(messages, "018"), Statistic(messages, "013") + Statistic(messages, "014") +
                                              Statistic(messages, "015") +
                                              Statistic(messages, "019"));
    movementsSeen = std::max(movementsSeen, Statistic(messages, "018"));
    EXPECT_EQ(ziz_test::ReadFile(csv), kEarlierCsv);
    EXPECT_EQ(dir.Entries(), (Strings{"MOV.CSV", "mov.dat"}));
    if (HasFailure()) break;
  }
  EXPECT_GT(n, 5) << "a run allocates, so some allocations were made to fail";
  EXPECT_GT(movementsSeen, 0) << "some allocation fails after a movement was counted";
}

TEST_F(CsvCommitContractTest, MemoryGoneForGoodStillLeavesTheEarlierCsvIntact) {
  // Not even the message about it can be logged then; the run still ends.
  failForGood = true;
  for (long n = 0;; ++n) {
    SCOPED_TRACE("allocation " + std::to_string(n));
    ModuleState state = ziz_test::FixedClockState();
    if (!RunFailingAllocation(n, state)) break;
    EXPECT_EQ(ziz_test::ReadFile(csv), kEarlierCsv);
    EXPECT_EQ(dir.Entries(), (Strings{"MOV.CSV", "mov.dat"}));
    if (HasFailure()) break;
  }
  failForGood = false;
}

}  // namespace
}  // namespace ravuvur
