// Saving on POSIX systems: what a replaced card keeps, where a link leads,
// what is never replaced, how long a path may be, and real file systems
// (FAT, a full tmpfs, an append-only ext4 folder).
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <filesystem>
#include <tuple>

#include "convert_card.h"
#include "file_system.h"
#include "mounted_folder_posix.h"
#include "scratch_folder.h"
#include "scripted_caller.h"

namespace mirvane {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using ::testing::ElementsAre;
using testing::FileSystemKind;
using ::testing::IsEmpty;
using testing::MakeCard;
using testing::MountedFolder;
using testing::NamesIn;
using testing::Pattern;
using testing::ReadBytes;
using testing::RunQuietly;
using testing::ScratchFolder;
using testing::ScriptedCaller;
using testing::WriteBytes;

struct stat StatOf(const std::string& Path) {
  struct stat Info = {};
  EXPECT_EQ(::lstat(Path.c_str(), &Info), 0) << Path;
  return Info;
}

std::string AttributeOf(const std::string& Path, const char* Name) {
  std::string Value(256, '\0');
  const ssize_t Got = ::getxattr(Path.c_str(), Name, Value.data(), Value.size());
  return Value.substr(0, Got > 0 ? static_cast<std::size_t>(Got) : 0);
}

// user::rw-, user:2005:rw-, group::r--, mask::rw-, other::r-- as the kernel
// keeps an ACL: version 2, then tag, permissions and id for each entry.
const std::string kAcl(
    "\2\0\0\0\1\0\6\0\377\377\377\377\2\0\6\0\325\7\0\0\4\0\4\0\377\377\377\377"
    "\20\0\6\0\377\377\377\377\40\0\4\0\377\377\377\377",
    44);

class KeptAttributesTest : public ::testing::Test {
 protected:
  ScratchFolder Folder;
  const std::string Card = Folder.PathOf("card.mcd");
  const Bytes Body = Pattern(5000, 4);
};

TEST_F(KeptAttributesTest, APrivateCardStaysPrivate) {
  WriteBytes(Card, Pattern(10));
  ASSERT_EQ(::chmod(Card.c_str(), 0600), 0);
  ASSERT_TRUE(ReplaceFileWith(Card, Body));
  EXPECT_EQ(StatOf(Card).st_mode & 07777, 0600u);
  EXPECT_EQ(ReadBytes(Card), Body);
}

TEST_F(KeptAttributesTest, ASharedCardKeepsItsGroupAndGroupWrite) {
  if (::geteuid() != 0) GTEST_SKIP() << "handing a file to any group needs root";
  constexpr gid_t kSharing = 4242;  // neither root's group nor the folder's
  WriteBytes(Card, Pattern(10));
  ASSERT_EQ(::chown(Card.c_str(), static_cast<uid_t>(-1), kSharing), 0);
  ASSERT_EQ(::chmod(Card.c_str(), 0664), 0);
  ASSERT_TRUE(ReplaceFileWith(Card, Body));
  EXPECT_EQ(StatOf(Card).st_gid, kSharing);
  EXPECT_EQ(StatOf(Card).st_mode & 07777, 0664u);
}

TEST_F(KeptAttributesTest, ANewCardGetsTheModeTheUmaskLeaves) {
  const mode_t Previous = ::umask(027);
  const bool Saved = ReplaceFileWith(Card, Body);
  ::umask(Previous);
  ASSERT_TRUE(Saved);
  EXPECT_EQ(StatOf(Card).st_mode & 07777, 0640u);
}

TEST_F(KeptAttributesTest, ACardKeepsItsAclAndExtendedAttributes) {
  WriteBytes(Card, Pattern(10));
  ASSERT_EQ(::setxattr(Card.c_str(), "system.posix_acl_access", kAcl.data(), kAcl.size(), 0), 0);
  ASSERT_EQ(::setxattr(Card.c_str(), "user.note", "kept", 4, 0), 0);
  const mode_t Mode = StatOf(Card).st_mode;
  ASSERT_TRUE(ReplaceFileWith(Card, Body));
  EXPECT_EQ(AttributeOf(Card, "system.posix_acl_access"), kAcl);
  EXPECT_EQ(AttributeOf(Card, "user.note"), "kept");
  EXPECT_EQ(StatOf(Card).st_mode, Mode);
}

TEST_F(KeptAttributesTest, ACardWithoutAnAclTakesNoneFromItsFolder) {
  WriteBytes(Card, Pattern(10));
  const mode_t Mode = StatOf(Card).st_mode;
  ASSERT_EQ(
      ::setxattr(Folder.Root().c_str(), "system.posix_acl_default", kAcl.data(), kAcl.size(), 0),
      0);
  ASSERT_TRUE(ReplaceFileWith(Card, Body));
  EXPECT_EQ(AttributeOf(Card, "system.posix_acl_access"), "");
  EXPECT_EQ(StatOf(Card).st_mode, Mode);
}

class LinkedCardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(Folder.Root() / "cards");
    fs::create_directory(Folder.Root() / "links");
  }
  void ExpectLink(const std::string& Link, const std::string& Target) {
    EXPECT_TRUE(fs::is_symlink(Link)) << Link;
    EXPECT_EQ(fs::read_symlink(Link).string(), Target);
  }

  ScratchFolder Folder;
  const std::string Card = Folder.PathOf("cards/real.mcd");
  const Bytes Body = Pattern(5000, 5);
};

TEST_F(LinkedCardTest, TheCardALinkNamesIsReplacedAndTheLinkStays) {
  WriteBytes(Card, Pattern(10));
  fs::create_symlink("../cards/real.mcd", Folder.PathOf("links/game.mcd"));
  ASSERT_TRUE(ReplaceFileWith(Folder.PathOf("links/game.mcd"), Body));
  EXPECT_EQ(ReadBytes(Card), Body);
  ExpectLink(Folder.PathOf("links/game.mcd"), "../cards/real.mcd");
  EXPECT_THAT(Folder.Names(), ElementsAre("cards", "links"));
  EXPECT_THAT(NamesIn(Folder.PathOf("cards")), ElementsAre("real.mcd"));
}

TEST_F(LinkedCardTest, AChainOfLinksIsFollowedToTheCard) {
  WriteBytes(Card, Pattern(10));
  fs::create_symlink("real.mcd", Folder.PathOf("cards/second.mcd"));
  fs::create_symlink(Folder.PathOf("cards/second.mcd"), Folder.PathOf("links/first.mcd"));
  ASSERT_TRUE(ReplaceFileWith(Folder.PathOf("links/first.mcd"), Body));
  EXPECT_EQ(ReadBytes(Card), Body);
  ExpectLink(Folder.PathOf("links/first.mcd"), Folder.PathOf("cards/second.mcd"));
  ExpectLink(Folder.PathOf("cards/second.mcd"), "real.mcd");
}

// As a shell's ">" does: the link then names the new card.
TEST_F(LinkedCardTest, ALinkToNothingGetsTheCardItNames) {
  fs::create_symlink("../cards/real.mcd", Folder.PathOf("links/game.mcd"));
  ASSERT_TRUE(ReplaceFileWith(Folder.PathOf("links/game.mcd"), Body));
  EXPECT_EQ(ReadBytes(Card), Body);
  ExpectLink(Folder.PathOf("links/game.mcd"), "../cards/real.mcd");
}

// A link that another user (uid 2001) made, followed only where the kernel's
// protected_symlinks rule would follow it, whatever the system sets; the
// folder that holds it is a /tmp, or not.
TEST(LinkInSharedFolder, IsFollowedOnlyWhenItIsOursOrTheFolderOwners) {
  if (::geteuid() != 0) GTEST_SKIP() << "a link that another user owns needs root to make";
  // The folder's mode and owner, the link's owner, whether the link stands for
  // a folder on the way instead of the card, and whether it is followed.
  const std::tuple<mode_t, uid_t, uid_t, bool, bool> kRows[] = {
      {01777, 0, 2001, false, false},   {01777, 0, 2001, true, false},
      {01777, 2001, 2001, false, true}, {01777, 2003, 0, false, true},
      {00777, 0, 2001, false, true},    {01775, 0, 2001, false, true}};
  for (const auto& [Mode, FolderOwner, LinkOwner, OnTheWay, Followed] : kRows) {
    for (const bool Dangling : {false, true}) {
      ScratchFolder Folder;
      const std::string Shared = Folder.PathOf("shared"), Card = Folder.PathOf("mine/card.mcd");
      fs::create_directory(Folder.Root() / "mine");
      fs::create_directory(Shared);
      ASSERT_EQ(::chmod(Shared.c_str(), Mode) | ::chown(Shared.c_str(), FolderOwner, 0), 0);
      const std::string Link = Shared + (OnTheWay ? "/mine" : "/card.mcd");
      fs::create_symlink(OnTheWay ? Folder.PathOf("mine") : Card, Link);
      ASSERT_EQ(::lchown(Link.c_str(), LinkOwner, 0), 0);
      const Bytes Old = Dangling ? Bytes{} : Pattern(10);
      if (!Dangling) WriteBytes(Card, Old);
      EXPECT_EQ(ReplaceFileWith(Shared + (OnTheWay ? "/mine/card.mcd" : "/card.mcd"), Pattern(50)),
                Followed);
      EXPECT_EQ(ReadBytes(Card), Followed ? Pattern(50) : Old)
          << std::oct << Mode << std::dec << " " << LinkOwner << " " << OnTheWay << Dangling;
    }
  }
}

// Nested folders make a destination of exactly PATH_MAX - 1 bytes, the
// longest the system takes; the temporary file's name is longer than the
// card's, so a path built from the folder's would be refused.
TEST(LongPath, ACardAtTheLongestPathTheSystemTakesIsSaved) {
  ScratchFolder Folder;
  const std::string Name = "c.mcd";
  const std::size_t Longest = PATH_MAX - 1;
  std::string Path = Folder.Root().string();
  while (Path.size() + 1 + NAME_MAX + 1 + Name.size() < Longest)
    Path += "/" + std::string(200, 'd');
  Path += "/" + std::string(Longest - Path.size() - 2 - Name.size(), 'e');
  fs::create_directories(Path);
  Path += "/" + Name;
  ASSERT_EQ(Path.size(), Longest);
  const Bytes Body = Pattern(5000, 6);
  ASSERT_TRUE(ReplaceFileWith(Path, Body));
  EXPECT_EQ(ReadBytes(Path), Body);
  ASSERT_TRUE(ReplaceFileWith(Path, Pattern(10)));
  EXPECT_EQ(ReadBytes(Path), Pattern(10));
  EXPECT_THAT(NamesIn(fs::path(Path).parent_path().string()), ElementsAre(Name));
}

// A FIFO, a socket, a device, or a card without write bits: at the path or at
// the end of a link there, it is refused (even by root) and left as it was.
class UntouchableTest : public ::testing::TestWithParam<mode_t> {};

TEST_P(UntouchableTest, IsRefusedAndLeftAsItWas) {
  for (const bool ThroughLink : {false, true}) {
    ScratchFolder Folder;
    const std::string Thing = Folder.PathOf("thing");
    if (::mknod(Thing.c_str(), GetParam(), makedev(1, 3)) != 0) {
      ASSERT_NE(::geteuid(), 0u) << "mknod";
      GTEST_SKIP() << "making a device needs root";
    }
    if (ThroughLink) fs::create_symlink(Thing, Folder.PathOf("card.mcd"));
    const struct stat Before = StatOf(Thing);
    EXPECT_FALSE(ReplaceFileWith(Folder.PathOf(ThroughLink ? "card.mcd" : "thing"), Pattern(100)));
    EXPECT_EQ(StatOf(Thing).st_ino, Before.st_ino);
    EXPECT_EQ(StatOf(Thing).st_mode, Before.st_mode);
    EXPECT_EQ(Folder.Names().size(), ThroughLink ? 2u : 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    ReplaceFileWith, UntouchableTest,
    ::testing::Values(S_IFIFO | 0666, S_IFSOCK | 0666, S_IFCHR | 0666, S_IFREG | 0444),
    ([](const auto& Info) {
      const char* const kNames[] = {"Fifo", "Socket", "Device", "CardWithoutWriteBits"};
      return std::string(kNames[Info.index]);
    }));

// A name added to an append-only folder can never be taken away again: a new
// card is linked straight to its name, and a replace is refused up front.
TEST(AppendOnlyFolder, TakesANewCardAndRefusesAReplaceBeforeWritingAnything) {
  MountedFolder Disk(FileSystemKind::Ext4Image, 4 << 20);
  if (!Disk.Mounted() && ::geteuid() != 0) GTEST_SKIP() << Disk.Why();
  ASSERT_TRUE(Disk.Mounted()) << Disk.Why();
  WriteBytes(Disk.PathOf("old.mcd"), Pattern(10, 1));
  ASSERT_TRUE(RunQuietly("chattr +a '" + Disk.Root() + "'"));
  EXPECT_TRUE(ReplaceFileWith(Disk.PathOf("new.mcd"), Pattern(5000, 2)));
  EXPECT_FALSE(ReplaceFileWith(Disk.PathOf("old.mcd"), Pattern(5000, 3)));
  EXPECT_EQ(ReadBytes(Disk.PathOf("new.mcd")), Pattern(5000, 2));
  EXPECT_EQ(ReadBytes(Disk.PathOf("old.mcd")), Pattern(10, 1));
  EXPECT_THAT(Disk.Names(), ElementsAre("lost+found", "new.mcd", "old.mcd"));
}

// The Convert command onto a FAT file system served through FUSE, which
// refuses to set permissions.
class FatCardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Fat.Mounted() && ::geteuid() != 0) GTEST_SKIP() << Fat.Why();
    ASSERT_TRUE(Fat.Mounted()) << Fat.Why();
    WriteBytes(Fat.PathOf("game.mem"), MakeCard(Body));
  }
  std::vector<std::string> Convert(const std::string& Destination) {
    ScriptedCaller Caller(Fat.PathOf(Destination));
    ConvertCard(Fat.PathOf("game.mem"), Caller);
    return Caller.Messages;
  }

  MountedFolder Fat{FileSystemKind::FatThroughFuse, 32 << 20};
  const Bytes Body = Pattern(300 * 1024, 7);
};

TEST_F(FatCardTest, ANewCardIsSaved) {
  EXPECT_THAT(Convert("new.mcd"), IsEmpty());
  EXPECT_EQ(ReadBytes(Fat.PathOf("new.mcd")), Body);
  EXPECT_THAT(Fat.Names(), ElementsAre("game.mem", "new.mcd"));
}

TEST_F(FatCardTest, AnOldCardIsReplaced) {
  WriteBytes(Fat.PathOf("old.mcd"), Pattern(1000, 8));
  EXPECT_THAT(Convert("old.mcd"), IsEmpty());
  EXPECT_EQ(ReadBytes(Fat.PathOf("old.mcd")), Body);
  EXPECT_THAT(Fat.Names(), ElementsAre("game.mem", "old.mcd"));
}

TEST(FullFileSystem, AFullTmpfsKeepsTheOldCard) {
  MountedFolder Small(FileSystemKind::Tmpfs, 1 << 20);
  if (!Small.Mounted() && ::geteuid() != 0) GTEST_SKIP() << Small.Why();
  ASSERT_TRUE(Small.Mounted()) << Small.Why();
  const Bytes OldCard = Pattern(128 * 1024, 9);
  WriteBytes(Small.PathOf("game.mcd"), OldCard);
  EXPECT_FALSE(ReplaceFileWith(Small.PathOf("game.mcd"), Pattern(2 << 20, 10)));
  EXPECT_EQ(ReadBytes(Small.PathOf("game.mcd")), OldCard);
  EXPECT_THAT(Small.Names(), ElementsAre("game.mcd"));
}

// Saves in a child as Saver, alone in its own group, and with two descriptors
// to spare where asked: as many as a save holds at once.
bool SavedInChild(uid_t Saver, bool FewDescriptors, const std::string& Path, const Bytes& Body) {
  const pid_t Child = ::fork();
  if (Child == 0) {
    const int Spare[] = {::open("/dev/null", O_RDONLY), ::open("/dev/null", O_RDONLY)};
    const rlimit Limit{static_cast<rlim_t>(Spare[1]) + 1, static_cast<rlim_t>(Spare[1]) + 1};
    const bool Ready = (Saver == 0 || (::setgroups(0, nullptr) == 0 && ::setgid(Saver) == 0 &&
                                       ::setuid(Saver) == 0)) &&
                       ::close(Spare[0]) == 0 && ::close(Spare[1]) == 0 &&
                       (!FewDescriptors || ::setrlimit(RLIMIT_NOFILE, &Limit) == 0);
    ::_exit(!Ready ? 2 : ReplaceFileWith(Path, Body) ? 0 : 1);
  }
  int Status = 0;
  ::waitpid(Child, &Status, 0);
  EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) < 2) << "child status " << Status;
  return Status == 0;
}

// Cards that others prepared, saved over on ext4 by root or by user 2001: a
// set-ID tool reached through a hard link in a /tmp or a user's symbolic link,
// an append-only folder that may be entered but not listed, a card with an
// ACL while descriptors run short or its owner holds a write lease, root's
// trusted attribute, a label that user 2001 may read but not set. The card ends with the new bytes
// (or the old ones), its owner, the mode given, every attribute it had and nothing else in its
// folder; a hard link's other name keeps the old file.
TEST(CardsOthersPrepared, KeepWhatTheyHadButNeverSetIdBits) {
  MountedFolder Disk(FileSystemKind::Ext4Image, 8 << 20);
  if (!Disk.Mounted() && ::geteuid() != 0) GTEST_SKIP() << Disk.Why();
  ASSERT_TRUE(Disk.Mounted()) << Disk.Why();
  enum Reach { kCard, kHardLink, kSymbolicLink };
  enum Obstacle { kNone, kAppendOnly, kFewDescriptors, kLease };
  // The folder's mode and owner, how the save reaches the card, the card's
  // mode, owner and attribute, whether it has an ACL too, what is in the way,
  // who saves, and whether the card is then saved and with which mode.
  const std::tuple<mode_t, uid_t, Reach, mode_t, uid_t, const char*, bool, Obstacle, uid_t, bool,
                   mode_t>
      kRows[] = {{01777, 0, kHardLink, 04755, 0, "user.a", false, kNone, 0, true, 0755},
                 {0755, 2001, kSymbolicLink, 06755, 0, "user.a", false, kNone, 0, true, 0755},
                 {0733, 0, kCard, 0644, 2001, "user.a", false, kAppendOnly, 2001, false, 0644},
                 {0755, 0, kCard, 0664, 2002, "user.a", true, kFewDescriptors, 0, true, 0664},
                 {0755, 0, kCard, 0664, 2002, "user.a", true, kLease, 0, true, 0664},
                 {0755, 0, kCard, 0644, 2002, "trusted.a", false, kNone, 0, true, 0644},
                 {0777, 0, kCard, 0666, 2002, "security.a", false, kNone, 2001, false, 0666}};
  constexpr char kAclName[] = "system.posix_acl_access";
  const Bytes Old = Pattern(10, 11), New = Pattern(5000, 12);
  int Row = 0;
  for (const auto& [FolderMode, FolderOwner, Way, Mode, Owner, Attribute, Acl, InTheWay, Saver,
                    Saved, ModeAfter] : kRows) {
    const std::string In = Disk.PathOf(std::to_string(++Row)), Card = In + "/card.mcd";
    const std::string Tool = In + ".tool", Landed = Way == kSymbolicLink ? Tool : Card;
    fs::create_directory(In);
    WriteBytes(Way == kCard ? Card : Tool, Old);
    ASSERT_TRUE((Way != kHardLink || ::link(Tool.c_str(), Card.c_str()) == 0) &&
                (Way != kSymbolicLink || ::symlink(Tool.c_str(), Card.c_str()) == 0) &&
                ::lchown(Card.c_str(), FolderOwner, 0) == 0 &&
                ::chown(Landed.c_str(), Owner, 0) == 0 && ::chmod(Landed.c_str(), Mode) == 0 &&
                ::setxattr(Landed.c_str(), Attribute, "kept", 4, 0) == 0 &&
                (!Acl || ::setxattr(Landed.c_str(), kAclName, kAcl.data(), kAcl.size(), 0) == 0) &&
                ::chown(In.c_str(), FolderOwner, 0) == 0 && ::chmod(In.c_str(), FolderMode) == 0 &&
                (InTheWay != kAppendOnly || RunQuietly("chattr +a '" + In + "'")))
        << "row " << Row;
    const auto Previous = std::signal(SIGIO, SIG_IGN);  // what a broken lease sends its holder
    const int Leased = InTheWay == kLease ? ::open(Landed.c_str(), O_RDWR) : -1;
    ASSERT_TRUE(InTheWay != kLease || ::fcntl(Leased, F_SETLEASE, F_WRLCK) == 0);
    EXPECT_EQ(SavedInChild(Saver, InTheWay == kFewDescriptors, Card, New), Saved) << "row " << Row;
    ::close(Leased);
    std::signal(SIGIO, Previous);
    const struct stat After = StatOf(Landed);
    EXPECT_EQ(
        std::make_tuple(ReadBytes(Landed), After.st_uid, After.st_mode & 07777,
                        AttributeOf(Landed, kAclName), AttributeOf(Landed, Attribute), NamesIn(In)),
        std::make_tuple(Saved ? New : Old, Owner, ModeAfter, Acl ? kAcl : "", std::string("kept"),
                        std::vector<std::string>{"card.mcd"}))
        << "row " << Row;
    EXPECT_TRUE(Way != kHardLink ||
                (ReadBytes(Tool) == Old && StatOf(Tool).st_mode % 010000 == Mode));
  }
}

}  // namespace
}  // namespace mirvane
