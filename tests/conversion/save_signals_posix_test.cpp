// Real signals sent to a process in the middle of a save. The save is held
// where its new file has just been made (see OpenGate), which is the state it
// is in for as long as the card is being written: with a name where the file
// system has no unnamed files (FAT), without one elsewhere.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <tuple>

#include "convert_card.h"
#include "mounted_folder_posix.h"
#include "open_gate_posix.h"
#include "save_signal_guard_posix.h"
#include "scratch_folder.h"
#include "scripted_caller.h"

namespace mirvane {
namespace {

using ::testing::AnyOf;
using testing::Bytes;
using ::testing::ElementsAre;
using testing::FileSystemKind;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::MakeCard;
using testing::MountedFolder;
using testing::NamesIn;
using testing::OpenGate;
using testing::Pattern;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::ScriptedCaller;
using testing::WriteBytes;

enum class Place { Disk, Tmpfs, FatThroughFuse };

// Signals that end a process when sent to it; none may leave a temporary.
std::vector<int> EndingSignals() {
  return {SIGINT,    SIGTERM, SIGHUP,  SIGQUIT, SIGPIPE, SIGALRM,   SIGUSR1,  SIGUSR2,
          SIGVTALRM, SIGPROF, SIGXCPU, SIGPOLL, SIGPWR,  SIGSTKFLT, SIGRTMIN, SIGRTMAX};
}

std::string SignalName(int Signal) {
  return Signal >= SIGRTMIN ? "RT" + std::to_string(Signal - SIGRTMIN) : sigabbrev_np(Signal);
}

// A program starts with these at their defaults, whatever started the tests.
void DefaultEndingSignals() {
  for (const int Signal : EndingSignals()) std::signal(Signal, SIG_DFL);
}

int StatusOf(pid_t Child) {
  int Status = 0;
  ::waitpid(Child, &Status, 0);
  return Status;
}

// Starts the Convert command in a child and holds it at the open of the new
// card's file (past the reads of the source and the old card); returns the
// child, which exits with 0 once the card is saved.
pid_t StartHeldSave(OpenGate& Gate, const std::string& Source, const std::string& Destination,
                    void (*Prepare)()) {
  const pid_t Child = ::fork();
  if (Child == 0) {
    Prepare();
    ScriptedCaller Caller(Destination);
    ConvertCard(Source, Caller);
    ::_exit(Caller.Messages.empty() ? 0 : 1);
  }
  // Named for the whole write on FAT, which has no unnamed files.
  EXPECT_THAT(Gate.Hold({"game.mem", "game.mcd"}),
              AnyOf(HasSubstr("/.mirvane-"), HasSubstr(" (deleted)")))
      << "the save made no new file";
  return Child;
}

class SignalDuringSaveTest : public ::testing::TestWithParam<std::tuple<Place, int>> {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "holding a save at an open needs fanotify, so root";
    const Place Where = std::get<0>(GetParam());
    if (Where == Place::Disk) {
      Root = Scratch.Root().string();
    } else {
      Mount = std::make_unique<MountedFolder>(
          Where == Place::Tmpfs ? FileSystemKind::Tmpfs : FileSystemKind::FatThroughFuse, 32 << 20);
      ASSERT_TRUE(Mount->Mounted()) << Mount->Why();
      Root = Mount->Root();
    }
    Source = Root + "/game.mem";
    Destination = Root + "/game.mcd";
    WriteBytes(Source, MakeCard(Body));
    WriteBytes(Destination, OldCard);
  }

  ScratchFolder Scratch;
  std::unique_ptr<MountedFolder> Mount;
  std::string Root, Source, Destination;
  const Bytes Body = Pattern(256 * 1024, 1);
  const Bytes OldCard = Pattern(128 * 1024, 2);
};

TEST_P(SignalDuringSaveTest, LeavesNoTemporaryAndEndsTheProcessAsTheSignalSays) {
  const int Signal = std::get<1>(GetParam());
  int Status = 0;
  {
    OpenGate Gate(Root);
    ASSERT_TRUE(Gate.Ready()) << "fanotify";
    const pid_t Child = StartHeldSave(Gate, Source, Destination, DefaultEndingSignals);
    ::kill(Child, Signal);
    Gate.Release();
    Status = StatusOf(Child);
  }
  EXPECT_TRUE(WIFSIGNALED(Status) && WTERMSIG(Status) == Signal) << "status " << Status;
  EXPECT_THAT(NamesIn(Root), ElementsAre("game.mcd", "game.mem"));
  EXPECT_EQ(ReadBytes(Destination), OldCard);
}

std::string NameOf(const ::testing::TestParamInfo<std::tuple<Place, int>>& Info) {
  static const char* const kPlaces[] = {"Disk", "Tmpfs", "FatThroughFuse"};
  return std::string(kPlaces[static_cast<int>(std::get<0>(Info.param))]) + "_" +
         SignalName(std::get<1>(Info.param));
}

INSTANTIATE_TEST_SUITE_P(EndingSignals, SignalDuringSaveTest,
                         ::testing::Combine(::testing::Values(Place::Disk, Place::Tmpfs,
                                                              Place::FatThroughFuse),
                                            ::testing::ValuesIn(EndingSignals())),
                         NameOf);

// A program started with SIGHUP ignored (nohup) keeps saving through it.
TEST(SignalDuringSave, AnIgnoredSignalLetsTheSaveFinish) {
  if (::geteuid() != 0) GTEST_SKIP() << "holding a save at an open needs fanotify, so root";
  ScratchFolder Folder;
  const Bytes Body = Pattern(4096, 3);
  WriteBytes(Folder.PathOf("game.mem"), MakeCard(Body));
  int Status = 0;
  {
    OpenGate Gate(Folder.Root().string());
    ASSERT_TRUE(Gate.Ready()) << "fanotify";
    const pid_t Child = StartHeldSave(Gate, Folder.PathOf("game.mem"), Folder.PathOf("game.mcd"),
                                      [] { std::signal(SIGHUP, SIG_IGN); });
    ::kill(Child, SIGHUP);
    Gate.Release();
    Status = StatusOf(Child);
  }
  EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << "status " << Status;
  EXPECT_EQ(ReadBytes(Folder.PathOf("game.mcd")), Body);
}

// A card that another program creates while this one saves a new card of the
// same name is not replaced unseen: the save fails and that card stays.
TEST(HeldSave, ACardMovedInWhileANewCardIsWrittenIsNotReplaced) {
  if (::geteuid() != 0) GTEST_SKIP() << "holding a save at an open needs fanotify, so root";
  ScratchFolder Folder, Elsewhere;
  WriteBytes(Folder.PathOf("game.mem"), MakeCard(Pattern(4096, 3)));
  // Made beforehand and moved in: an open of ours would wait at the gate too.
  WriteBytes(Elsewhere.PathOf("game.mcd"), Pattern(100, 9));
  int Status = 0;
  {
    OpenGate Gate(Folder.Root().string());
    ASSERT_TRUE(Gate.Ready()) << "fanotify";
    const pid_t Child = StartHeldSave(Gate, Folder.PathOf("game.mem"), Folder.PathOf("game.mcd"),
                                      DefaultEndingSignals);
    std::filesystem::rename(Elsewhere.PathOf("game.mcd"), Folder.PathOf("game.mcd"));
    Gate.Release();
    Status = StatusOf(Child);
  }
  EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 1) << "status " << Status;
  EXPECT_EQ(ReadBytes(Folder.PathOf("game.mcd")), Pattern(100, 9));
  EXPECT_THAT(Folder.Names(), ElementsAre("game.mcd", "game.mem"));
}

// The moment between naming the finished file and renaming it over the card.
class SaveSignalGuardTest : public ::testing::TestWithParam<int> {};

TEST_P(SaveSignalGuardTest, ASignalRemovesTheArmedNameBeforeEndingTheProcess) {
  ScratchFolder Folder;
  WriteBytes(Folder.PathOf(".mirvane-armed"), {1});
  const pid_t Child = ::fork();
  if (Child == 0) {
    DefaultEndingSignals();
    const int Dir = ::open(Folder.Root().c_str(), O_RDONLY | O_DIRECTORY);
    SaveSignalGuard Guard;
    Guard.Arm(Dir, ".mirvane-armed");
    ::raise(GetParam());
    ::_exit(0);
  }
  const int Status = StatusOf(Child);
  EXPECT_TRUE(WIFSIGNALED(Status) && WTERMSIG(Status) == GetParam()) << "status " << Status;
  EXPECT_THAT(Folder.Names(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(EndingSignals, SaveSignalGuardTest, ::testing::ValuesIn(EndingSignals()),
                         [](const auto& Info) { return SignalName(Info.param); });

// A handler of the program's own may return: the save must go on with its
// temporary file, so the guard leaves such a signal alone.
TEST(SaveSignalGuard, IgnoresFileSizeSignalsAndLeavesTheProgramsOwnHandlers) {
  const auto Handler = [](int) {};
  std::vector<void (*)(int)> Previous;
  for (const int Signal : EndingSignals()) Previous.push_back(std::signal(Signal, Handler));
  struct sigaction Before = {}, During = {}, After = {};
  sigaction(SIGXFSZ, nullptr, &Before);
  {
    const SaveSignalGuard Guard;
    sigaction(SIGXFSZ, nullptr, &During);
    for (const int Signal : EndingSignals()) {
      struct sigaction Now = {};
      sigaction(Signal, nullptr, &Now);
      EXPECT_EQ(Now.sa_handler, Handler) << SignalName(Signal);
    }
  }
  sigaction(SIGXFSZ, nullptr, &After);
  EXPECT_EQ(During.sa_handler, SIG_IGN);
  EXPECT_EQ(After.sa_handler, Before.sa_handler);
  for (std::size_t I = 0; I < Previous.size(); ++I) {
    EXPECT_EQ(std::signal(EndingSignals()[I], Previous[I]), Handler) << EndingSignals()[I];
  }
}

}  // namespace
}  // namespace mirvane
