// Faults that only the operating system can cause, on Windows.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "convert_card.h"
#include "point_import_win.h"
#include "scratch_folder.h"
#include "scripted_caller.h"

namespace mirvane {
namespace {

namespace fs = std::filesystem;

using testing::Bytes;
using ::testing::ElementsAre;
using testing::MakeCard;
using ::testing::MatchesRegex;
using testing::Pattern;
using testing::PointImport;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::ScriptedCaller;
using testing::WriteBytes;

// The test's own view of long paths: the \\?\ form, which lifts MAX_PATH for
// it whatever the file layer does.
fs::path Extended(const std::string& Path) {
  return fs::path(L"\\\\?\\" + fs::path(Path).wstring());
}

void WriteLong(const std::string& Path, const Bytes& Content) {
  std::ofstream(Extended(Path), std::ios::binary)
      .write(reinterpret_cast<const char*>(Content.data()), std::streamsize(Content.size()));
}

Bytes ReadLong(const std::string& Path) {
  std::ifstream In(Extended(Path), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(In), {});
}

// Listed with the wide calls: the runtime's own listing cannot reach beyond
// MAX_PATH.
std::vector<std::string> NamesIn(const std::string& Folder) {
  std::vector<std::string> Names;
  WIN32_FIND_DATAW Found;
  const HANDLE Search = ::FindFirstFileW((Extended(Folder) / L"*").c_str(), &Found);
  if (Search == INVALID_HANDLE_VALUE) return Names;
  do {
    const std::wstring Name = Found.cFileName;
    if (Name != L"." && Name != L"..") Names.push_back(fs::path(Name).string());
  } while (::FindNextFileW(Search, &Found));
  ::FindClose(Search);
  std::sort(Names.begin(), Names.end());
  return Names;
}

TEST(FileFaultTest, AReadOnlyCardIsNotReplaced) {
  ScratchFolder Folder;
  const std::string Source = Folder.PathOf("game.mem"), Destination = Folder.PathOf("game.mcd");
  WriteBytes(Source, MakeCard(Pattern(4096, 1)));
  WriteBytes(Destination, Pattern(9000, 2));
  ASSERT_TRUE(::SetFileAttributesA(Destination.c_str(), FILE_ATTRIBUTE_READONLY));

  ScriptedCaller Caller(Destination);
  ConvertCard(Source, Caller);

  EXPECT_THAT(Caller.Messages, ElementsAre(kNotSavedText));
  EXPECT_EQ(ReadBytes(Destination), Pattern(9000, 2));
  EXPECT_THAT(Folder.Names(), ElementsAre("game.mcd", "game.mem"));
  ::SetFileAttributesA(Destination.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A temporary name beside a destination in a folder of 250 bytes is longer
// than MAX_PATH: it is reached, written and renamed all the same.
TEST(FileFaultTest, SavesInAFolderOf250BytesAndLeavesNothingElse) {
  ScratchFolder Root;
  const std::string Source = Root.PathOf("game.mem");
  const std::string Folder = Root.PathOf(std::string(250 - Root.PathOf("").size(), 'f'));
  ASSERT_EQ(Folder.size(), 250u);
  ASSERT_TRUE(fs::create_directory(Extended(Folder)));
  const Bytes Body = Pattern(5000);
  WriteBytes(Source, MakeCard(Body));

  ScriptedCaller Caller(Folder + "\\game.mcd");
  ConvertCard(Source, Caller);

  EXPECT_THAT(Caller.Messages, ElementsAre());
  EXPECT_EQ(ReadLong(Folder + "\\game.mcd"), Body);
  EXPECT_THAT(NamesIn(Folder), ElementsAre("game.mcd"));
}

TEST(FileFaultTest, ConvertsACardWhosePathIsBeyondMaxPath) {
  ScratchFolder Root;
  const std::string Folder = Root.PathOf(std::string(200, 'a')) + "\\" + std::string(200, 'b');
  ASSERT_TRUE(fs::create_directories(Extended(Folder)));
  const std::string Source = Folder + "\\game.mem", Destination = Folder + "\\game.mcd";
  const Bytes Body = Pattern(5000);
  WriteLong(Source, MakeCard(Body));

  ScriptedCaller Caller(Destination);
  ConvertCard(Source, Caller);

  EXPECT_EQ(Caller.SourceRequests, 0);
  EXPECT_THAT(Caller.Messages, ElementsAre());
  EXPECT_EQ(ReadLong(Destination), Body);
  EXPECT_THAT(NamesIn(Folder), ElementsAre("game.mcd", "game.mem"));
}

TEST(FileFaultTest, AReplacedCardKeepsItsHiddenAndSystemAttributes) {
  ScratchFolder Folder;
  const std::string Source = Folder.PathOf("game.mem"), Destination = Folder.PathOf("game.mcd");
  const Bytes Body = Pattern(4096, 1);
  WriteBytes(Source, MakeCard(Body));
  WriteBytes(Destination, Pattern(9000, 2));
  const DWORD HiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(::SetFileAttributesA(Destination.c_str(), HiddenSystem));

  ScriptedCaller Caller(Destination);
  ConvertCard(Source, Caller);

  EXPECT_THAT(Caller.Messages, ElementsAre());
  EXPECT_EQ(ReadBytes(Destination), Body);
  EXPECT_EQ(::GetFileAttributesA(Destination.c_str()) & HiddenSystem, HiddenSystem);
  EXPECT_THAT(Folder.Names(), ElementsAre("game.mcd", "game.mem"));
}

// ReplaceFileW failing to move the new card in, the old card removed (as the
// system may leave it) or standing (as when another save got there first);
// and the move that would finish its work, refused.
BOOL WINAPI ReplaceLosingTheOld(LPCWSTR Replaced, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) {
  ::DeleteFileW(Replaced);
  ::SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
  return FALSE;
}
BOOL WINAPI ReplaceKeepingTheOld(LPCWSTR, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) {
  ::SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
  return FALSE;
}
BOOL WINAPI RefuseMove(LPCWSTR, LPCWSTR, DWORD) {
  return FALSE;
}

TEST(FileFaultTest, ANewCardIsKeptUnderItsTemporaryNameAndNamedOnlyWhereTheOldIsGone) {
  const HMODULE Kernel = ::GetModuleHandleW(L"kernel32.dll");
  void* const Replace = reinterpret_cast<void*>(::GetProcAddress(Kernel, "ReplaceFileW"));
  void* const Move = reinterpret_cast<void*>(::GetProcAddress(Kernel, "MoveFileExW"));
  ASSERT_TRUE(PointImport(Move, reinterpret_cast<void*>(&RefuseMove)));
  // Each stand-in for ReplaceFileW, and whether it leaves the old card gone.
  const std::pair<void*, bool> StandIns[] = {
      {reinterpret_cast<void*>(&ReplaceLosingTheOld), true},
      {reinterpret_cast<void*>(&ReplaceKeepingTheOld), false}};
  for (const auto& [StandIn, OldGone] : StandIns) {
    ScratchFolder Folder;
    const std::string Source = Folder.PathOf("game.mem"), Destination = Folder.PathOf("game.mcd");
    WriteBytes(Source, MakeCard(Pattern(4096, 1)));
    WriteBytes(Destination, Pattern(9000, 2));
    ScriptedCaller Caller(Destination);
    ASSERT_TRUE(PointImport(Replace, StandIn));
    ConvertCard(Source, Caller);
    PointImport(StandIn, Replace);

    // Beside the source: the new card under its temporary name, or the old card.
    std::vector<std::string> Left = Folder.Names();
    std::erase(Left, "game.mem");
    ASSERT_THAT(Left, ElementsAre(MatchesRegex(OldGone ? "mir\\w+\\.tmp" : "game\\.mcd")));
    EXPECT_EQ(ReadBytes(Folder.PathOf(Left[0])), OldGone ? Pattern(4096, 1) : Pattern(9000, 2));
    const std::string Named = OldGone ? " The new card is in " + Folder.PathOf(Left[0]) + "." : "";
    EXPECT_THAT(Caller.Messages, ElementsAre(kNotSavedText + Named));
  }
  PointImport(reinterpret_cast<void*>(&RefuseMove), Move);
}

}  // namespace
}  // namespace mirvane
