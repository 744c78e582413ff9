// The commit of the CSV against other users, signals and odd folders: what
// is checked is what is replaced, nothing is ever left behind, and the
// earlier CSV keeps its permissions, its owner and its other names. What
// needs a second user runs only as root (CI); the unprivileged side then
// runs in a child process that has become the user nobody.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <csignal>

#include "conversion/csv_file.h"
#include "conversion/run_conversion.h"
#include "tests/support/child_process.h"
#include "tests/support/test_files.h"

namespace ravuvur {
namespace {

using ziz_test::Departure;
using ziz_test::MovementFile;
using ziz_test::ReadFile;
using ziz_test::WriteFile;
using Strings = std::vector<std::string>;

using ziz_test::kEarlierCsv;
const std::string kMovements = MovementFile("00001", {Departure()});

struct stat Stat(const std::string& path) {
  struct stat st {};
  ::lstat(path.c_str(), &st);
  return st;
}

class CsvCommitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(input, kMovements);
    WriteFile(csv, kEarlierCsv);
  }
  // The CSV holds this run's rows rather than the earlier ones.
  bool Converted() const { return ReadFile(csv).find("\"DEP\"") != std::string::npos; }

  ziz_test::TempDir dir;
  const std::string input = dir / "mov.dat";
  const std::string csv = dir / "MOV.CSV";
  ModuleState state = ziz_test::FixedClockState();
};

TEST_F(CsvCommitTest, ReplacedCsvKeepsItsMode) {
  Strings modes = {"0600", "0640"};
  if (ziz_test::IsRoot()) modes.push_back("0444");  // only root may replace a read-only CSV
  for (const std::string& text : modes) {
    SCOPED_TRACE(text);
    const auto mode = static_cast<mode_t>(std::stoi(text, nullptr, 8));
    ::chmod(csv.c_str(), mode);
    ASSERT_TRUE(RunConversion(state, input));
    EXPECT_EQ(Stat(csv).st_mode & 07777, mode);
  }
}

TEST_F(CsvCommitTest, NewCsvGetsPlainPermissions) {
  ::unlink(csv.c_str());
  const mode_t previous = ::umask(027);
  const bool converted = RunConversion(state, input);
  ::umask(previous);
  ASSERT_TRUE(converted);
  EXPECT_EQ(Stat(csv).st_mode & 07777, 0640u);
}

TEST_F(CsvCommitTest, ReplacedCsvKeepsItsOwner) {
  if (!ziz_test::IsRoot()) GTEST_SKIP() << "only root may give a file to another user";
  ASSERT_EQ(::chown(csv.c_str(), ziz_test::kNobody, ziz_test::kNoGroup), 0);
  ASSERT_TRUE(RunConversion(state, input));
  EXPECT_EQ(Stat(csv).st_uid, ziz_test::kNobody);
  EXPECT_EQ(Stat(csv).st_gid, ziz_test::kNoGroup);
}

TEST_F(CsvCommitTest, OtherHardLinksKeepTheEarlierContent) {
  ASSERT_EQ(::link(csv.c_str(), (dir / "yesterday.csv").c_str()), 0);
  ASSERT_TRUE(RunConversion(state, input));
  EXPECT_TRUE(Converted());
  EXPECT_EQ(ReadFile(dir / "yesterday.csv"), kEarlierCsv);
}

TEST_F(CsvCommitTest, LinkOfAnotherUserInASharedFolderIsRefused) {
  // In a sticky, world-writable folder a link planted by another user must
  // not steer the CSV onto the file it points to.
  if (!ziz_test::IsRoot()) GTEST_SKIP() << "the link must belong to another user";
  ::chmod(dir.path().c_str(), 01777);
  ::unlink(csv.c_str());
  ziz_test::TempDir elsewhere;
  WriteFile(elsewhere / "target", kEarlierCsv);
  ASSERT_EQ(::symlink((elsewhere / "target").c_str(), csv.c_str()), 0);
  ASSERT_EQ(::lchown(csv.c_str(), ziz_test::kNobody, ziz_test::kNoGroup), 0);
  EXPECT_FALSE(RunConversion(state, input));
  EXPECT_EQ(ziz_test::Messages(state.log)[3], "023 ERRO ao criar o arquivo de saida: " + csv);
  EXPECT_EQ(ReadFile(elsewhere / "target"), kEarlierCsv);
  EXPECT_TRUE(S_ISLNK(Stat(csv).st_mode));
}

TEST_F(CsvCommitTest, WritableCsvInAFolderTheUserCannotWriteIsWrittenInPlace) {
  const ino_t inode = Stat(csv).st_ino;
  ::chmod(csv.c_str(), 0666);
  ::chmod(dir.path().c_str(), 0555);
  const ziz_test::ChildRun run = ziz_test::ConvertInChild(input, ziz_test::BecomeUnprivileged);
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(Converted());
  EXPECT_EQ(Stat(csv).st_ino, inode);
}

TEST_F(CsvCommitTest, SomeoneElsesWritableCsvInAStickyFolderIsWrittenInPlace) {
  // The rename that would replace it is refused; the file itself is not.
  if (!ziz_test::IsRoot()) GTEST_SKIP() << "the CSV must belong to another user";
  ::chmod(dir.path().c_str(), 01777);
  ::chmod(csv.c_str(), 0666);
  const ziz_test::ChildRun run = ziz_test::ConvertInChild(input, ziz_test::BecomeUnprivileged);
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(Converted());
  EXPECT_EQ(Stat(csv).st_uid, 0u);
}

TEST_F(CsvCommitTest, FailedRunInPlaceKeepsTheEarlierCsv) {
  // Rows written in place wait until the run has succeeded.
  WriteFile(input, MovementFile("32768", {Departure()}));
  ::chmod(csv.c_str(), 0666);
  ::chmod(dir.path().c_str(), 0555);
  const ziz_test::ChildRun run = ziz_test::ConvertInChild(input, ziz_test::BecomeUnprivileged);
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ReadFile(csv), kEarlierCsv);
}

TEST_F(CsvCommitTest, CsvPathNearTheLengthLimitIsWritten) {
  // A short name at the end of a path one byte short of the limit: a new
  // file beside the CSV must not need a longer path than the CSV's.
  std::string folder = dir.path();
  constexpr std::size_t kRoom = PATH_MAX - 1 - std::string_view("/mov.dat").size();
  while (folder.size() < kRoom) {
    folder += "/" + std::string(std::min<std::size_t>(200, kRoom - folder.size() - 1), 'd');
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0) << folder.size();
  }
  const std::string longInput = folder + "/mov.dat";
  ASSERT_EQ(longInput.size(), std::size_t{PATH_MAX - 1});
  WriteFile(longInput, kMovements);
  EXPECT_TRUE(RunConversion(state, longInput)) << ziz_test::Messages(state.log)[3];
  EXPECT_TRUE(ziz_test::Exists(folder + "/MOV.CSV"));
}

TEST_F(CsvCommitTest, NamedTemporaryFileLeavesNothingBehind) {
  // File systems without unnamed files get a hidden named one.
  CsvFile::UseNamedTemporaryFiles(true);
  const bool converted = RunConversion(state, input);
  CsvFile::UseNamedTemporaryFiles(false);
  EXPECT_TRUE(converted);
  EXPECT_TRUE(Converted());
  EXPECT_EQ(dir.Entries(), (Strings{"MOV.CSV", "mov.dat"}));
}

class InterruptedNamedRunTest : public CsvCommitTest, public ::testing::WithParamInterface<int> {};

TEST_P(InterruptedNamedRunTest, LeavesTheEarlierCsvAndNothingElse) {
  ziz_test::WriteSlowMovementFile(input);
  const int status = ziz_test::InterruptMidRun(dir.path(), input, GetParam(), [this] {
    CsvFile::UseNamedTemporaryFiles(true);
    ModuleState childState;
    RunConversion(childState, input);
  });
  EXPECT_EQ(status, 128 + GetParam()) << "the run ends by the signal it got";
  EXPECT_EQ(ReadFile(csv), kEarlierCsv);
  EXPECT_EQ(dir.Entries(), (Strings{"MOV.CSV", "mov.dat"}));
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptedNamedRunTest,
                         ::testing::Values(SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE),
                         ziz_test::SignalName);

TEST(CommitRaceTest, NamesSwappedDuringCommitsNeverRedirectThem) {
  // Another user swaps a file of theirs and links to the input, a device
  // and a private file at the CSV's name, as fast as it can, while runs
  // commit one after the other. None of the three may ever be replaced.
  if (!ziz_test::IsRoot()) GTEST_SKIP() << "the swapping process runs as another user";
  ziz_test::TempDir shared;
  ziz_test::TempDir hidden;
  ::chmod(shared.path().c_str(), 01777);
  const std::string input = shared / "mov.dat";
  const std::string csv = shared / "MOV.CSV";
  const std::string device = shared / "null";
  const std::string secret = hidden / "secret";
  WriteFile(input, kMovements);
  ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
  WriteFile(secret, "root only");
  ::chmod(secret.c_str(), 0600);
  const struct stat inputBefore = Stat(input);

  // Both sides stop after three seconds; the swapper then reports how many
  // swaps it made.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int counts[2];
  ASSERT_EQ(::pipe(counts), 0);
  const pid_t swapper = ::fork();
  if (swapper == 0) {
    ziz_test::BecomeUnprivileged();
    const std::string link = shared / ".link";
    const std::string plain = shared / ".plain";
    long swaps = 0;
    while (std::chrono::steady_clock::now() < end) {
      for (const std::string* target : {&input, &device, &secret}) {
        ::symlink(target->c_str(), link.c_str());
        if (::rename(link.c_str(), csv.c_str()) == 0) ++swaps;
        WriteFile(plain, "theirs");
        if (::rename(plain.c_str(), csv.c_str()) == 0) ++swaps;
      }
    }
    ::_exit(::write(counts[1], &swaps, sizeof swaps) == sizeof swaps ? 0 : 1);
  }
  ::close(counts[1]);

  ModuleState state = ziz_test::FixedClockState();
  while (std::chrono::steady_clock::now() < end) {
    RunConversion(state, input);
    // A CSV of root's own in a sticky folder would stop the swapping.
    if (Stat(csv).st_uid == 0) ::unlink(csv.c_str());
  }
  long swaps = 0;
  EXPECT_EQ(::read(counts[0], &swaps, sizeof swaps), static_cast<ssize_t>(sizeof swaps));
  ::close(counts[0]);
  EXPECT_EQ(ziz_test::WaitFor(swapper), 0);

  EXPECT_EQ(ReadFile(input), kMovements);
  EXPECT_EQ(Stat(input).st_ino, inputBefore.st_ino);
  EXPECT_TRUE(S_ISCHR(Stat(device).st_mode));
  EXPECT_EQ(ReadFile(secret), "root only");
  EXPECT_GT(swaps, 1000) << "the names were really swapped";
}

}  // namespace
}  // namespace ravuvur
