// Who may replace which CSV, and with what owner and mode: folders the user
// may only search, links in shared folders, chains of links, groups the
// user does not belong to. The files are set up as root, then converted by
// the user nobody in a child process, so CI (which runs as root) really
// runs every case; an ordinary user running the tests skips them.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "conversion/run_conversion.h"
#include "tests/support/child_process.h"
#include "tests/support/test_files.h"

namespace ravuvur {
namespace {

using ziz_test::kEarlierCsv;
using ziz_test::kNobody;
using ziz_test::kNoGroup;
using ziz_test::ReadFile;
using ziz_test::WriteFile;

constexpr uid_t kStranger = 4242;  // a user who owns nothing else here

struct stat Stat(const std::string& path) {
  struct stat st {};
  ::lstat(path.c_str(), &st);
  return st;
}

bool HasRows(const std::string& path) {
  return ReadFile(path).find("\"DEP\"") != std::string::npos;
}

class CsvPermissionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ziz_test::IsRoot()) GTEST_SKIP() << "files of several users are set up as root";
    WriteFile(input, ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  }
  // Converts the input as the user nobody; the run's exit status.
  static int ConvertAsNobody(const std::string& input) {
    return ziz_test::ConvertInChild(input, ziz_test::BecomeUnprivileged).status;
  }
  // A CSV from an earlier run, with its owner, group and mode.
  void EarlierCsv(uid_t owner, gid_t group, mode_t mode) const {
    WriteFile(csv, kEarlierCsv);
    ASSERT_EQ(::chown(csv.c_str(), owner, group), 0);
    ASSERT_EQ(::chmod(csv.c_str(), mode), 0);
  }

  ziz_test::TempDir dir;
  const std::string input = dir / "mov.dat";
  const std::string csv = dir / "MOV.CSV";
};

TEST_F(CsvPermissionsTest, FolderTheUserMaySearchButNotReadTakesTheCsv) {
  ASSERT_EQ(::chmod(dir.path().c_str(), 0733), 0);
  EXPECT_EQ(ConvertAsNobody(input), 0);
  EXPECT_TRUE(HasRows(csv));
}

// The user nobody replaces a CSV in its own folder. What it cannot give the
// new file, the owner or the group, it does without: a group it cannot give
// then may do no more than anyone else.
struct OwnerCase {
  const char* name;
  uid_t owner;
  gid_t group;
  mode_t mode;
  mode_t newMode;
};

class ReplacedOwnerTest : public CsvPermissionsTest,
                          public ::testing::WithParamInterface<OwnerCase> {};

TEST_P(ReplacedOwnerTest, KeepsTheGroupOrCutsItsRights) {
  ASSERT_EQ(::chown(dir.path().c_str(), kNobody, kNoGroup), 0);
  EarlierCsv(GetParam().owner, GetParam().group, GetParam().mode);
  EXPECT_EQ(ConvertAsNobody(input), 0);
  EXPECT_TRUE(HasRows(csv));
  EXPECT_EQ(Stat(csv).st_gid, kNoGroup);
  EXPECT_EQ(Stat(csv).st_mode & 07777, GetParam().newMode);
}

INSTANTIATE_TEST_SUITE_P(Owners, ReplacedOwnerTest,
                         ::testing::Values(OwnerCase{"AnotherGroup", kNobody, 0, 0676, 0666},
                                           OwnerCase{"AnotherOwnerSameGroup", kStranger, kNoGroup,
                                                     0664, 0664}),
                         [](const auto& owner) { return std::string(owner.param.name); });

TEST_F(CsvPermissionsTest, RootKeepsTheGroupOfItsOwnCsv) {
  EarlierCsv(0, kNoGroup, 0640);
  ModuleState state = ziz_test::FixedClockState();
  ASSERT_TRUE(RunConversion(state, input));
  EXPECT_EQ(Stat(csv).st_gid, kNoGroup);
  EXPECT_EQ(Stat(csv).st_mode & 07777, 0640u);
}

TEST_F(CsvPermissionsTest, RootReplacesSomeoneElsesCsvInAStickyFolderWithoutWritingIntoIt) {
  // Neither the CSV nor the folder is root's, yet root may rename over
  // the entry; another name of the earlier CSV keeps
  // the earlier content.
  ASSERT_EQ(::chmod(dir.path().c_str(), 01777), 0);
  ASSERT_EQ(::chown(dir.path().c_str(), kStranger, kStranger), 0);
  EarlierCsv(kNobody, kNoGroup, 0666);
  ASSERT_EQ(::link(csv.c_str(), (dir / "yesterday.csv").c_str()), 0);
  ModuleState state = ziz_test::FixedClockState();
  ASSERT_TRUE(RunConversion(state, input));
  EXPECT_TRUE(HasRows(csv));
  EXPECT_EQ(ReadFile(dir / "yesterday.csv"), kEarlierCsv);
  EXPECT_EQ(Stat(csv).st_uid, kNobody);
}

TEST_F(CsvPermissionsTest, StickyFolderOwnerReplacesAStrangersCsv) {
  // The owner of a sticky folder may rename over any entry in it: the
  // stranger's CSV gets a new file, not the rows written into it.
  ASSERT_EQ(::chown(dir.path().c_str(), kNobody, kNoGroup), 0);
  ASSERT_EQ(::chmod(dir.path().c_str(), 01777), 0);
  EarlierCsv(kStranger, kStranger, 0666);
  const ino_t earlier = Stat(csv).st_ino;
  EXPECT_EQ(ConvertAsNobody(input), 0);
  EXPECT_NE(Stat(csv).st_ino, earlier);
}

// A link at the CSV's name in a sticky, world-writable folder is followed
// when it is the user's own or the folder owner's, never a stranger's.
struct LinkCase {
  const char* name;
  uid_t owner;
  bool followed;
};

class SharedFolderLinkTest : public CsvPermissionsTest,
                             public ::testing::WithParamInterface<LinkCase> {};

TEST_P(SharedFolderLinkTest, FollowsOnlyLinksItMayTrust) {
  ASSERT_EQ(::chmod(dir.path().c_str(), 01777), 0);
  const ziz_test::TempDir elsewhere;
  ASSERT_EQ(::chown(elsewhere.path().c_str(), kNobody, kNoGroup), 0);
  WriteFile(elsewhere / "target", kEarlierCsv);
  ASSERT_EQ(::chown((elsewhere / "target").c_str(), kNobody, kNoGroup), 0);
  ASSERT_EQ(::symlink((elsewhere / "target").c_str(), csv.c_str()), 0);
  ASSERT_EQ(::lchown(csv.c_str(), GetParam().owner, GetParam().owner), 0);
  EXPECT_EQ(ConvertAsNobody(input), GetParam().followed ? 0 : 1);
  EXPECT_EQ(HasRows(elsewhere / "target"), GetParam().followed);
  EXPECT_TRUE(S_ISLNK(Stat(csv).st_mode));
}

INSTANTIATE_TEST_SUITE_P(Owners, SharedFolderLinkTest,
                         ::testing::Values(LinkCase{"TheUsers", kNobody, true},
                                           LinkCase{"TheFolderOwners", 0, true},
                                           LinkCase{"AStrangers", kStranger, false}),
                         [](const auto& link) { return std::string(link.param.name); });

// A chain of links at the CSV's name: as many as the system follows in a
// path are followed, one more is refused.
class LinkChainTest : public CsvPermissionsTest,
                      public ::testing::WithParamInterface<std::pair<int, bool>> {};

TEST_P(LinkChainTest, FollowsChainsUpToTheLimit) {
  const auto [links, followed] = GetParam();
  WriteFile(dir / "target", kEarlierCsv);
  std::string next = "target";
  for (int k = 1; k < links; ++k) {
    const std::string name = "link" + std::to_string(k);
    ASSERT_EQ(::symlink(next.c_str(), (dir / name).c_str()), 0);
    next = name;
  }
  ASSERT_EQ(::symlink(next.c_str(), csv.c_str()), 0);
  ModuleState state = ziz_test::FixedClockState();
  EXPECT_EQ(RunConversion(state, input), followed);
  EXPECT_EQ(HasRows(dir / "target"), followed);
}

INSTANTIATE_TEST_SUITE_P(Lengths, LinkChainTest,
                         ::testing::Values(std::pair{2, true}, std::pair{8, true},
                                           std::pair{9, false}),
                         [](const auto& chain) { return std::to_string(chain.param.first); });

TEST(CsvModeTest, NewCsvTakesTheUmask) {
  const ziz_test::TempDir dir;
  WriteFile(dir / "mov.dat", ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  const mode_t previous = ::umask(002);
  ModuleState state = ziz_test::FixedClockState();
  const bool converted = RunConversion(state, dir / "mov.dat");
  ::umask(previous);
  ASSERT_TRUE(converted);
  EXPECT_EQ(Stat(dir / "MOV.CSV").st_mode & 07777, 0664u);
}

}  // namespace
}  // namespace ravuvur
