// Faults that only the operating system can cause: permissions, a full disk.
// Each conversion runs in a child process so that the restriction (another
// user, a file-size limit) binds even when the tests run as root, and never
// leaks into the other tests.
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sstream>
#include <tuple>

#include "convert_card.h"
#include "scratch_folder.h"
#include "scripted_caller.h"

namespace mirvane {
namespace {

using testing::Bytes;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::MakeCard;
using testing::Pattern;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::ScriptedCaller;
using testing::WriteBytes;

constexpr uid_t kNobody = 65534;

struct Outcome {
  int SourceRequests = 0;
  std::vector<std::string> Messages;
};

// Runs ConvertCard in a child after Restrict, and reports what the user saw.
Outcome ConvertInChild(const std::string& Source, const std::string& Destination,
                       const std::function<bool()>& Restrict) {
  int Pipe[2];
  if (::pipe(Pipe) != 0) ADD_FAILURE() << "pipe";
  const pid_t Child = ::fork();
  if (Child == 0) {
    ::close(Pipe[0]);
    if (!Restrict()) ::_exit(2);
    ScriptedCaller Caller(Destination);
    ConvertCard(Source, Caller);
    std::string Report = std::to_string(Caller.SourceRequests) + "\n";
    for (const auto& Message : Caller.Messages) Report += Message + "\n";
    const bool Sent =
        ::write(Pipe[1], Report.data(), Report.size()) == static_cast<ssize_t>(Report.size());
    ::_exit(Sent ? 0 : 3);
  }
  ::close(Pipe[1]);
  std::string Report;
  char Buffer[256];
  for (ssize_t Got; (Got = ::read(Pipe[0], Buffer, sizeof Buffer)) > 0;) Report.append(Buffer, Got);
  ::close(Pipe[0]);
  int Status = 0;
  ::waitpid(Child, &Status, 0);
  EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << "child status " << Status;

  Outcome Result;
  std::istringstream Lines(Report);
  std::string Line;
  if (std::getline(Lines, Line)) Result.SourceRequests = std::stoi(Line);
  while (std::getline(Lines, Line)) Result.Messages.push_back(Line);
  return Result;
}

// Root becomes User, in Group and no other; any other user stays as it is.
std::function<bool()> AsUser(uid_t User, gid_t Group) {
  return [=] {
    return ::geteuid() != 0 || User == 0 ||
           (::setgroups(0, nullptr) == 0 && ::setgid(Group) == 0 && ::setuid(User) == 0);
  };
}

// Root ignores file permissions, so it becomes an ordinary user first.
bool AsUnprivilegedUser() {
  return AsUser(kNobody, kNobody)();
}

class FileFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Source = Folder.PathOf("game.mem");
    Destination = Folder.PathOf("game.mcd");
    WriteBytes(Source, MakeCard(Body));
    WriteBytes(Destination, OldCard);
  }
  void ExpectOldCardKept() {
    EXPECT_EQ(ReadBytes(Destination), OldCard);
    EXPECT_THAT(Folder.Names(), ElementsAre("game.mcd", "game.mem"));
  }

  ScratchFolder Folder;
  const Bytes Body = Pattern(256 * 1024, 1);
  const Bytes OldCard = Pattern(128 * 1024, 2);
  std::string Source, Destination;
};

TEST_F(FileFaultTest, AProtectedFolderKeepsTheOldCard) {
  ASSERT_EQ(::chmod(Folder.Root().c_str(), 0555), 0);
  const Outcome Seen = ConvertInChild(Source, Destination, AsUnprivilegedUser);
  EXPECT_THAT(Seen.Messages, ElementsAre(kNotSavedText));
  ExpectOldCardKept();
}

TEST_F(FileFaultTest, AReadOnlyCardIsNotReplaced) {
  ASSERT_EQ(::chmod(Folder.Root().c_str(), 0777), 0);
  ASSERT_EQ(::chmod(Destination.c_str(), 0444), 0);
  const Outcome Seen = ConvertInChild(Source, Destination, AsUnprivilegedUser);
  EXPECT_THAT(Seen.Messages, ElementsAre(kNotSavedText));
  ExpectOldCardKept();
}

TEST_F(FileFaultTest, AFileSizeLimitKeepsTheOldCard) {
  const auto LimitWrites = [] {
    // Writes past the limit fail with EFBIG instead of killing the process.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit Limit{64 * 1024, 64 * 1024};
    return ::setrlimit(RLIMIT_FSIZE, &Limit) == 0;
  };
  const Outcome Seen = ConvertInChild(Source, Destination, LimitWrites);
  EXPECT_THAT(Seen.Messages, ElementsAre(kNotSavedText));
  ExpectOldCardKept();
}

// A program that left SIGXFSZ at its default would be killed by it.
TEST_F(FileFaultTest, AFileSizeLimitFailsTheSaveWithoutEndingTheProgram) {
  const auto LimitWrites = [] {
    std::signal(SIGXFSZ, SIG_DFL);
    const rlimit Limit{64 * 1024, 64 * 1024};
    return ::setrlimit(RLIMIT_FSIZE, &Limit) == 0;
  };
  const Outcome Seen = ConvertInChild(Source, Destination, LimitWrites);
  EXPECT_THAT(Seen.Messages, ElementsAre(kNotSavedText));
  ExpectOldCardKept();
}

// Card 2002:2003 saved over by root, by its owner (not in group 2003) and by
// another user: owner and group stay where the saver may keep them, and
// set-ID bits never do.
TEST_F(FileFaultTest, AReplacedCardKeepsItsOwnerAndBecomesNoNewSetIdFile) {
  if (::geteuid() != 0) GTEST_SKIP() << "a card of another user needs root to make";
  // Who saves, the card's mode before, and its owner, group and mode after.
  const std::tuple<uid_t, mode_t, uid_t, gid_t, mode_t> kRows[] = {{0, 06755, 2002, 2003, 0755},
                                                                   {2002, 06775, 2002, 2002, 0775},
                                                                   {2001, 06777, 2001, 2001, 0777}};
  ASSERT_EQ(::chmod(Folder.Root().c_str(), 0777), 0);
  for (const auto& [Saver, Before, Owner, Group, After] : kRows) {
    ASSERT_EQ(::chown(Destination.c_str(), 2002, 2003), 0);
    ASSERT_EQ(::chmod(Destination.c_str(), Before), 0);
    const Outcome Seen = ConvertInChild(Source, Destination, AsUser(Saver, Saver));
    EXPECT_THAT(Seen.Messages, IsEmpty());
    struct stat Info = {};
    ASSERT_EQ(::stat(Destination.c_str(), &Info), 0);
    EXPECT_EQ(std::make_tuple(Info.st_uid, Info.st_gid, Info.st_mode & 07777),
              std::make_tuple(Owner, Group, After))
        << "saved by " << Saver;
  }
}

TEST_F(FileFaultTest, AnUnreadableSourceIsAWrongFormat) {
  ASSERT_EQ(::chmod(Folder.Root().c_str(), 0777), 0);
  ASSERT_EQ(::chmod(Source.c_str(), 0000), 0);
  const Outcome Seen = ConvertInChild(Source, Folder.PathOf("other.mcd"), AsUnprivilegedUser);
  EXPECT_EQ(Seen.SourceRequests, 0);
  EXPECT_THAT(Seen.Messages, ElementsAre(kWrongFormatText));
  ExpectOldCardKept();
}

TEST_F(FileFaultTest, AWritableCardInAWritableFolderIsReplaced) {
  // The same child setup as the faults above, succeeding: the faults are
  // caused by the restriction, not by the setup.
  ASSERT_EQ(::chmod(Folder.Root().c_str(), 0777), 0);
  ASSERT_EQ(::chmod(Destination.c_str(), 0666), 0);
  const Outcome Seen = ConvertInChild(Source, Destination, AsUnprivilegedUser);
  EXPECT_THAT(Seen.Messages, IsEmpty());
  EXPECT_EQ(ReadBytes(Destination), Body);
  EXPECT_THAT(Folder.Names(), ElementsAre("game.mcd", "game.mem"));
}

}  // namespace
}  // namespace mirvane
