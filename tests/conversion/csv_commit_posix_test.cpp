// The commit of the CSV against other users, signals and odd folders: what
// is checked is what is replaced, nothing is ever left behind, and the
// earlier CSV keeps its permissions, its owner and its other names. What
// needs a second user runs only as root (CI); the unprivileged side then
// runs in a child process that has become the user nobody.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <thread>

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

// An access ACL in the kernel's own form: each entry a tag (1 owner, 2 a
// named user, 4 the group, 0x10 the mask, 0x20 others), its rights and,
// for a named user, the user's number.
std::string Acl(std::initializer_list<std::array<std::uint32_t, 3>> entries) {
  std::string acl = {2, 0, 0, 0};  // version 2, little-endian
  for (const auto& [tag, rights, id] : entries) {
    for (const std::uint32_t value : {tag | (rights << 16), id}) {
      for (int shift = 0; shift < 32; shift += 8) acl += static_cast<char>(value >> shift);
    }
  }
  return acl;
}
constexpr std::uint32_t kNoId = 0xFFFFFFFF;

// Whether the user nobody can open `path` for reading.
bool NobodyCanRead(const std::string& path) {
  return ziz_test::InChild([&] {
           ziz_test::BecomeUnprivileged();
           return ::open(path.c_str(), O_RDONLY) >= 0 ? 0 : 1;
         }) == 0;
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

TEST_F(CsvCommitTest, ReplacedCsvInASetgidFolderKeepsItsGroup) {
  // A new file there takes the folder's group, which would open it to them.
  if (!ziz_test::IsRoot()) GTEST_SKIP() << "the folder must belong to another group";
  ASSERT_EQ(::chown(dir.path().c_str(), 0, ziz_test::kNoGroup), 0);
  ::chmod(dir.path().c_str(), 02755);
  ::chmod(csv.c_str(), 0640);
  ASSERT_TRUE(RunConversion(state, input));
  EXPECT_EQ(Stat(csv).st_gid, 0u);
}

TEST_F(CsvCommitTest, ReplacedCsvKeepsTheAccessRulesOfItsAcl) {
  if (!ziz_test::IsRoot()) GTEST_SKIP() << "nobody must be a user other than the test's";
  const std::string denyNobody = Acl({{1, 6, kNoId},
                                      {2, 0, ziz_test::kNobody},
                                      {4, 4, kNoId},
                                      {0x10, 4, kNoId},
                                      {0x20, 4, kNoId}});
  if (::setxattr(csv.c_str(), "system.posix_acl_access", denyNobody.data(), denyNobody.size(), 0) !=
      0) {
    GTEST_SKIP() << "no ACLs on this file system";
  }
  ASSERT_TRUE(RunConversion(state, input));
  EXPECT_FALSE(NobodyCanRead(csv));
}

TEST_F(CsvCommitTest, FolderDefaultAclGrantsNothingOnAReplacedCsv) {
  if (!ziz_test::IsRoot()) GTEST_SKIP() << "nobody must be a user other than the test's";
  ::chmod(csv.c_str(), 0640);
  const std::string grantNobody = Acl({{1, 7, kNoId},
                                       {2, 6, ziz_test::kNobody},
                                       {4, 5, kNoId},
                                       {0x10, 7, kNoId},
                                       {0x20, 0, kNoId}});
  if (::setxattr(dir.path().c_str(), "system.posix_acl_default", grantNobody.data(),
                 grantNobody.size(), 0) != 0) {
    GTEST_SKIP() << "no ACLs on this file system";
  }
  ASSERT_TRUE(RunConversion(state, input));
  EXPECT_FALSE(NobodyCanRead(csv));
}

// Only user.* attributes go with the CSV (a tag, a checksum, an origin);
// the trusted.* and security.* ones stay behind, even when root converts.
class ReplacedCsvAttributeTest
    : public CsvCommitTest,
      public ::testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(ReplacedCsvAttributeTest, GoesWithItOnlyInTheUserSpace) {
  const auto [attribute, kept] = GetParam();
  if (::setxattr(csv.c_str(), attribute, "tower", 5, 0) != 0) {
    GTEST_SKIP() << "cannot set " << attribute << " here";
  }
  ASSERT_TRUE(RunConversion(state, input));
  char value[16] = {};
  const ssize_t length = ::getxattr(csv.c_str(), attribute, value, sizeof value);
  EXPECT_EQ(std::string(value, static_cast<std::size_t>(std::max<ssize_t>(length, 0))),
            kept ? "tower" : "");
}

INSTANTIATE_TEST_SUITE_P(Spaces, ReplacedCsvAttributeTest,
                         ::testing::Values(std::pair{"user.origin", true},
                                           std::pair{"trusted.origin", false}),
                         [](const auto& row) { return row.param.second ? "User" : "Trusted"; });

// Names made in an append-only folder can never go: no hidden file may be
// made there. The user may list the folder, or only search it (0733), when
// it is held without being opened and its flags cannot be read by ioctl.
class AppendOnlyFolderTest : public CsvCommitTest, public ::testing::WithParamInterface<mode_t> {};

TEST_P(AppendOnlyFolderTest, GetsTheCsvInPlaceAndNothingElse) {
  if (!ziz_test::IsRoot()) GTEST_SKIP() << "only root may make a folder append-only";
  ::chmod(dir.path().c_str(), GetParam());
  ::chmod(csv.c_str(), 0666);
  const int folder = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
  int flags = FS_APPEND_FL;
  const bool appendOnly = ::ioctl(folder, FS_IOC_SETFLAGS, &flags) == 0;
  const int status =
      appendOnly ? ziz_test::ConvertInChild(input, ziz_test::BecomeUnprivileged).status : -1;
  flags = 0;
  ::ioctl(folder, FS_IOC_SETFLAGS, &flags);
  ::close(folder);
  ::chmod(dir.path().c_str(), 0755);
  if (!appendOnly) GTEST_SKIP() << "cannot make the folder append-only here";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(dir.Entries(), (Strings{"MOV.CSV", "mov.dat"}));
}

INSTANTIATE_TEST_SUITE_P(Modes, AppendOnlyFolderTest, ::testing::Values(0777, 0733),
                         [](const auto& mode) {
                           return mode.param == 0777 ? "Listed" : "Searched";
                         });

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

TEST_F(CsvCommitTest, LinkOfAnotherUserToAFolderOnTheWayIsRefused) {
  // Our own link leads through another user's link to a folder of ours:
  // the rule holds for that one too, whatever the kernel's setting.
  if (!ziz_test::IsRoot()) GTEST_SKIP() << "the link must belong to another user";
  ::chmod(dir.path().c_str(), 01777);
  ::unlink(csv.c_str());
  ziz_test::TempDir elsewhere;
  WriteFile(elsewhere / "MOV.CSV", kEarlierCsv);
  ASSERT_EQ(::symlink(elsewhere.path().c_str(), (dir / "out").c_str()), 0);
  ASSERT_EQ(::lchown((dir / "out").c_str(), ziz_test::kNobody, ziz_test::kNoGroup), 0);
  ASSERT_EQ(::symlink("out/MOV.CSV", csv.c_str()), 0);
  EXPECT_FALSE(RunConversion(state, input));
  EXPECT_EQ(ReadFile(elsewhere / "MOV.CSV"), kEarlierCsv);
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

TEST_F(CsvCommitTest, CsvWithOtherNamesIsNotWrittenInPlace) {
  // Written in place, its other names would get the new rows too. One
  // other name is enough; the reason says which check refused it.
  ASSERT_EQ(::link(csv.c_str(), (dir / "yesterday.csv").c_str()), 0);
  ::chmod(csv.c_str(), 0666);
  ::chmod(dir.path().c_str(), 0555);
  const int saidWhy = ziz_test::InChild([&] {
    ziz_test::BecomeUnprivileged();
    ModuleState childState;
    std::string reason;
    RunConversion(childState, input, &reason);
    return reason.find("other names") != std::string::npos ? 0 : 1;
  });
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(saidWhy, 0);
  EXPECT_EQ(ReadFile(dir / "yesterday.csv"), kEarlierCsv);
}

TEST_F(CsvCommitTest, InPlaceWriteBeyondTheFileSizeLimitKeepsTheEarlierCsv) {
  WriteFile(input, MovementFile("00200", std::vector<ziz_test::Record>(200, Departure())));
  ::chmod(csv.c_str(), 0666);
  ::chmod(dir.path().c_str(), 0555);
  const ziz_test::ChildRun run = ziz_test::ConvertInChild(input, [] {
    const struct rlimit limit = {4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ziz_test::BecomeUnprivileged();
  });
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ReadFile(csv), kEarlierCsv);
}

// A file system without fallocate (ext2): the room for the rows written in
// place is made sure of before the earlier CSV changes, so a full disk
// leaves it as it was. An 8 MiB ext2 image, mounted through a loop device;
// the CSV is nobody's, in a folder nobody may not write.
class Ext2InPlaceTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (!ziz_test::IsRoot()) GTEST_SKIP() << "mounting a file system takes root";
    const std::string image = scratch / "ext2.img";
    ziz_test::MakeFolder(mountPoint);
    const std::string make = "truncate -s 8M '" + image + "' && mkfs.ext2 -q -F '" + image +
                             "' >/dev/null 2>&1 && mount -o loop '" + image + "' '" + mountPoint +
                             "' 2>/dev/null";
    if (std::system(make.c_str()) != 0) {
      GTEST_SKIP() << "no loop device here (mkfs.ext2 and mount -o loop needed for this case)";
    }
    mounted = true;
    ziz_test::MakeFolder(folder);
    WriteFile(input, MovementFile("02000", std::vector<ziz_test::Record>(2000, Departure())));
    WriteFile(csv, MovementRows(300));
    ASSERT_EQ(::chown(csv.c_str(), ziz_test::kNobody, ziz_test::kNoGroup), 0);
  }
  void TearDown() override {
    if (mounted) std::system(("umount '" + mountPoint + "'").c_str());
  }
  // `rows` departure rows, as a conversion writes them.
  std::string MovementRows(int rows) const {
    ziz_test::TempDir other;
    WriteFile(other / "m.dat",
              MovementFile(std::to_string(rows), std::vector<ziz_test::Record>(
                                                     static_cast<std::size_t>(rows), Departure())));
    ModuleState plain;
    RunConversion(plain, other / "m.dat");
    return ReadFile(other / "M.CSV");
  }

  ziz_test::TempDir scratch;
  const std::string mountPoint = scratch / "mnt";
  const std::string folder = mountPoint + "/d";
  const std::string input = folder + "/BIG.DAT";
  const std::string csv = folder + "/BIG.CSV";
  bool mounted = false;
};

TEST_P(Ext2InPlaceTest, FullDiskKeepsTheEarlierCsvAndRoomTakesTheNewOne) {
  const bool diskFull = GetParam();
  if (diskFull)
    std::system(("dd if=/dev/zero of='" + mountPoint + "/fill' bs=64k 2>/dev/null").c_str());
  const std::string earlier = ReadFile(csv);
  const ziz_test::ChildRun run = ziz_test::ConvertInChild(input, ziz_test::BecomeUnprivileged);
  EXPECT_EQ(ReadFile(csv), diskFull ? earlier : MovementRows(2000)) << "status " << run.status;
}

INSTANTIATE_TEST_SUITE_P(Disks, Ext2InPlaceTest, ::testing::Bool(),
                         [](const auto& full) { return full.param ? "Full" : "WithRoom"; });

// The signal is sent the moment the CSV starts to change, round after
// round: the CSV is then the earlier one or the whole new one. A program
// with other threads (the window's toolkit starts some) may get it on any
// of them; every signal held back meanwhile is raised after, so one the
// program handles itself (SIGUSR1, sent first) neither hides SIGTERM nor
// ends the process. The child waits for signals only after its run, so
// only SIGTERM can end it: one still alive after ten seconds lost it.
enum class Program { SingleThreaded, OtherThreads, HandledSignalFirst };

class InPlaceSignalTest : public CsvCommitTest, public ::testing::WithParamInterface<Program> {};

// The child's end: 128 + the signal, its exit status, or -1 when it is
// still running at `deadline` (and is then killed).
int EndBy(pid_t child, std::chrono::steady_clock::time_point deadline) {
  int status = 0;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child, SIGKILL);
      ziz_test::WaitFor(child);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_P(InPlaceSignalTest, SignalDuringTheInPlaceWriteLeavesOneWholeCsv) {
  if (!ziz_test::IsRoot()) GTEST_SKIP() << "the run must be another user's, written in place";
  WriteFile(input, MovementFile("20000", std::vector<ziz_test::Record>(20000, Departure())));
  const std::string expected = [&] {
    ziz_test::TempDir reference;
    WriteFile(reference / "mov.dat", ReadFile(input));
    ModuleState plain;
    RunConversion(plain, reference / "mov.dat");
    return ReadFile(reference / "MOV.CSV");
  }();
  ::chmod(dir.path().c_str(), 0555);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int rounds = 0;
  for (; rounds < 20 && (rounds < 4 || std::chrono::steady_clock::now() < end); ++rounds) {
    WriteFile(csv, kEarlierCsv);
    ::chmod(csv.c_str(), 0666);
    const pid_t child = ::fork();
    if (child == 0) {
      ziz_test::BecomeUnprivileged();
      if (GetParam() != Program::SingleThreaded) std::thread(::pause).detach();
      if (GetParam() == Program::HandledSignalFirst) std::signal(SIGUSR1, [](int) {});
      ModuleState childState;
      RunConversion(childState, input);
      for (;;) ::pause();  // only the signal ends it, held back or not
    }
    const auto roundEnd = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (Stat(csv).st_size == static_cast<off_t>(kEarlierCsv.size()) &&
           std::chrono::steady_clock::now() < roundEnd) {
    }
    if (GetParam() == Program::HandledSignalFirst) ::kill(child, SIGUSR1);
    ::kill(child, SIGTERM);
    const int status = EndBy(child, std::chrono::steady_clock::now() + std::chrono::seconds(10));
    const std::string now = ReadFile(csv);
    ASSERT_TRUE(now == kEarlierCsv || now == expected) << "round " << rounds << ": " << now.size();
    ASSERT_NE(status, -1) << "round " << rounds << ": the signal was lost";
    ASSERT_EQ(status, 128 + SIGTERM) << "round " << rounds << ": ended otherwise";
  }
  ::chmod(dir.path().c_str(), 0755);
}

INSTANTIATE_TEST_SUITE_P(Programs, InPlaceSignalTest,
                         ::testing::Values(Program::SingleThreaded, Program::OtherThreads,
                                           Program::HandledSignalFirst),
                         [](const auto& program) {
                           switch (program.param) {
                             case Program::SingleThreaded: return "SingleThreaded";
                             case Program::OtherThreads: return "OtherThreads";
                             case Program::HandledSignalFirst: return "HandledSignalFirst";
                           }
                           return "";
                         });

// Several runs in threads of one program, as dta2csv converts a batch,
// each writing its CSV in place: a signal that comes while any of them
// writes waits until every one of them is whole.
TEST_F(CsvCommitTest, ConcurrentInPlaceWritesAreEachWholeOnASignal) {
  if (!ziz_test::IsRoot()) GTEST_SKIP() << "the runs must be another user's, written in place";
  constexpr int kRuns = 6;
  const auto inputOf = [&](int k) { return dir / ("m" + std::to_string(k) + ".dat"); };
  const auto csvOf = [&](int k) { return dir / ("M" + std::to_string(k) + ".CSV"); };
  std::vector<std::string> expected;
  for (int k = 0; k < kRuns; ++k) {
    WriteFile(inputOf(k),
              MovementFile("20000", std::vector(20000, Departure("SB0" + std::to_string(k)))));
    ziz_test::TempDir reference;
    WriteFile(reference / "m.dat", ReadFile(inputOf(k)));
    ModuleState plain;
    RunConversion(plain, reference / "m.dat");
    expected.push_back(ReadFile(reference / "M.CSV"));
  }
  ::chmod(dir.path().c_str(), 0555);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int rounds = 0;
  for (; rounds < 60 && std::chrono::steady_clock::now() < end; ++rounds) {
    for (int k = 0; k < kRuns; ++k) {
      WriteFile(csvOf(k), kEarlierCsv);
      ::chmod(csvOf(k).c_str(), 0666);
    }
    const pid_t child = ::fork();
    if (child == 0) {
      ziz_test::BecomeUnprivileged();
      std::vector<std::thread> runs;
      for (int k = 0; k < kRuns; ++k) {
        runs.emplace_back([&, k] {
          ModuleState childState;
          RunConversion(childState, inputOf(k));
        });
      }
      for (std::thread& run : runs) run.join();
      ::sleep(10);  // only the signal ends it, held back or not
      ::_exit(0);
    }
    const auto changing = [&] {
      for (int k = 0; k < kRuns; ++k) {
        if (Stat(csvOf(k)).st_size != static_cast<off_t>(kEarlierCsv.size())) return true;
      }
      return false;
    };
    while (!changing() && std::chrono::steady_clock::now() < end) {
    }
    ::kill(child, SIGTERM);
    const int status = ziz_test::WaitFor(child);
    for (int k = 0; k < kRuns; ++k) {
      const std::string now = ReadFile(csvOf(k));
      ASSERT_TRUE(now == kEarlierCsv || now == expected[static_cast<std::size_t>(k)])
          << "round " << rounds << ", CSV " << k << ": " << now.size() << " bytes";
    }
    ASSERT_EQ(status, 128 + SIGTERM) << "round " << rounds << ": the signal was lost";
  }
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_GT(rounds, 3);
}

TEST_F(CsvCommitTest, InPlaceCsvSwappedForAPipeNeverOpensThePipe) {
  // While runs write the CSV in place over and over, its name is swapped
  // with a pipe's; the pipe stands for any device whose opening has side
  // effects, and inotify tells whether it was ever opened.
  if (!ziz_test::IsRoot()) GTEST_SKIP() << "the run must be another user's, written in place";
  const std::string pipe = dir / "pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
  ::chmod(pipe.c_str(), 0666);
  ::chmod(csv.c_str(), 0666);
  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(::inotify_add_watch(watch, pipe.c_str(), IN_OPEN), 0);
  // A reader, so that a writer may open the pipe; its own opening is
  // read off the watch here.
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  char events[4096];
  while (::read(watch, events, sizeof events) > 0) {
  }
  ::chmod(dir.path().c_str(), 0555);
  const pid_t child = ::fork();
  if (child == 0) {
    ziz_test::BecomeUnprivileged();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    int converted = 0;
    while (std::chrono::steady_clock::now() < end) {
      ModuleState childState;
      if (RunConversion(childState, input)) ++converted;
    }
    ::_exit(converted > 10 ? 0 : 1);
  }
  int status = 0;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    ::renameat2(AT_FDCWD, csv.c_str(), AT_FDCWD, pipe.c_str(), RENAME_EXCHANGE);
  }
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(::read(watch, events, sizeof events), -1) << "the pipe was opened";
  ::close(watch);
  ::close(reader);
  EXPECT_EQ(status, 0) << "the CSV was really written between the swaps";
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
                         ::testing::Values(SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGUSR1,
                                           SIGUSR2, SIGALRM, SIGXCPU, SIGVTALRM, SIGSEGV, SIGBUS,
                                           SIGSYS, SIGTRAP),
                         ziz_test::SignalName);

TEST_F(CsvCommitTest, SignalRemovesTheNamedFileOfEveryRunInProgress) {
  // Runs in threads of one program, each in a folder of its own with a
  // hidden named file: the signal must remove every one, not only the last.
  constexpr int kRuns = 4;
  std::vector<std::unique_ptr<ziz_test::TempDir>> folders;
  for (int k = 0; k < kRuns; ++k) {
    folders.push_back(std::make_unique<ziz_test::TempDir>());
    ziz_test::WriteSlowMovementFile(*folders.back() / "mov.dat");
    WriteFile(*folders.back() / "MOV.CSV", kEarlierCsv);
  }
  const auto allHaveTheirFiles = [&] {
    return std::all_of(folders.begin(), folders.end(),
                       [](const auto& folder) { return folder->Entries().size() == 3; });
  };
  const int status = ziz_test::InterruptMidRun(
      folders[0]->path(), *folders[0] / "mov.dat", SIGTERM,
      [&] {
        CsvFile::UseNamedTemporaryFiles(true);
        std::vector<std::thread> runs;
        for (const auto& folder : folders) {
          runs.emplace_back([input = *folder / "mov.dat"] {
            ModuleState childState;
            RunConversion(childState, input);
          });
        }
        for (std::thread& run : runs) run.join();
      },
      allHaveTheirFiles);
  EXPECT_EQ(status, 128 + SIGTERM);
  for (const auto& folder : folders) {
    EXPECT_EQ(folder->Entries(), (Strings{"MOV.CSV", "mov.dat"}));
    EXPECT_EQ(ReadFile(*folder / "MOV.CSV"), kEarlierCsv);
  }
}

TEST_F(CsvCommitTest, NamesOtherUsersMadeAheadDoNotBlockTheNamedFile) {
  // Hidden names one could guess from the process number, all taken.
  for (int n = 0; n < 100; ++n) {
    WriteFile(dir / (".dta2csv-" + std::to_string(::getpid()) + "-" + std::to_string(n) + ".tmp"),
              "");
  }
  CsvFile::UseNamedTemporaryFiles(true);
  const bool converted = RunConversion(state, input);
  CsvFile::UseNamedTemporaryFiles(false);
  EXPECT_TRUE(converted);
}

TEST(CommitRaceTest, NamesSwappedDuringCommitsNeverRedirectThem) {
  // Another user swaps a file of theirs and links to the input, a device
  // and a private file at the CSV's name, as fast as it can, while runs
  // commit one after the other, until both sides have done their share:
  // counted, not timed, so a loaded machine makes the test slower, never
  // weaker. None of the three may ever be replaced.
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

  // The swaps made, and the word to stop, shared by both processes.
  struct Counts {
    std::atomic<long> swaps;
    std::atomic<int> stop;
  };
  static_assert(std::atomic<long>::is_always_lock_free, "shared between processes");
  const int flags = MAP_SHARED | MAP_ANONYMOUS;
  // cppcheck-suppress invalidFunctionArg ; an anonymous mapping takes no file
  void* memory = ::mmap(nullptr, sizeof(Counts), PROT_READ | PROT_WRITE, flags, -1, 0);
  ASSERT_NE(memory, MAP_FAILED);
  // cppcheck-suppress legacyUninitvar ; made here, in the memory just mapped
  auto* counts = new (memory) Counts{};
  const pid_t swapper = ::fork();
  if (swapper == 0) {
    ziz_test::BecomeUnprivileged();
    const std::string link = shared / ".link";
    const std::string plain = shared / ".plain";
    while (counts->stop.load() == 0) {
      for (const std::string* target : {&input, &device, &secret}) {
        ::symlink(target->c_str(), link.c_str());
        if (::rename(link.c_str(), csv.c_str()) == 0) counts->swaps.fetch_add(1);
        WriteFile(plain, "theirs");
        if (::rename(plain.c_str(), csv.c_str()) == 0) counts->swaps.fetch_add(1);
      }
    }
    ::_exit(0);
  }

  constexpr long kRuns = 2000;
  constexpr long kSwaps = 2000;
  // Whether the swapper has ended (left for WaitFor to collect).
  const auto ended = [swapper] {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(swapper), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == swapper;
  };
  ModuleState state = ziz_test::FixedClockState();
  for (long runs = 0; (runs < kRuns || counts->swaps.load() < kSwaps) && !ended(); ++runs) {
    RunConversion(state, input);
    // A CSV of root's own in a sticky folder would stop the swapping.
    if (Stat(csv).st_uid == 0) ::unlink(csv.c_str());
  }
  counts->stop.store(1);
  EXPECT_EQ(ziz_test::WaitFor(swapper), 0) << "the swapper ended before its share";
  ::munmap(memory, sizeof(Counts));

  EXPECT_EQ(ReadFile(input), kMovements);
  EXPECT_EQ(Stat(input).st_ino, inputBefore.st_ino);
  EXPECT_TRUE(S_ISCHR(Stat(device).st_mode));
  EXPECT_EQ(ReadFile(secret), "root only");
}

}  // namespace
}  // namespace ravuvur
