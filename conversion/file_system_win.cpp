// File operations on Windows, through the 8-bit ("A") calls so that paths
// travel in the process code page exactly as the dialogs return them.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "file_system.h"

namespace mirvane {

namespace {

// ReadFile and WriteFile take 32-bit counts; moderate pieces also keep
// network shares and old drivers happy.
constexpr DWORD kPieceSize = 16 * 1024 * 1024;

constexpr std::size_t kPageSize = 4096;

class Handle {
 public:
  explicit Handle(HANDLE H) : H_(H) {}
  ~Handle() {
    if (Valid()) ::CloseHandle(H_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  HANDLE Get() const { return H_; }
  bool Valid() const { return H_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    const HANDLE H = H_;
    H_ = INVALID_HANDLE_VALUE;
    return ::CloseHandle(H) != 0;
  }

 private:
  HANDLE H_;
};

bool ReadAll(HANDLE File, unsigned char* Data, std::size_t Size) {
  while (Size > 0) {
    const DWORD Want = static_cast<DWORD>(std::min<std::size_t>(Size, kPieceSize));
    DWORD Got = 0;
    if (!::ReadFile(File, Data, Want, &Got, nullptr) || Got == 0) return false;
    Data += Got;
    Size -= Got;
  }
  return true;
}

bool WriteAll(HANDLE File, const unsigned char* Data, std::size_t Size) {
  while (Size > 0) {
    const DWORD Want = static_cast<DWORD>(std::min<std::size_t>(Size, kPieceSize));
    DWORD Put = 0;
    if (!::WriteFile(File, Data, Want, &Put, nullptr) || Put == 0) return false;
    Data += Put;
    Size -= Put;
  }
  return true;
}

// The folder part of a path, kept with its separator ("C:\cards\" for
// "C:\cards\game.mcd", "C:" for "C:game.mcd"); "." for a bare name.
std::string FolderOf(const std::string& Path) {
  const auto Cut = Path.find_last_of("\\/:");
  if (Cut == std::string::npos) return ".";
  return Path.substr(0, Cut + 1);
}

// Where deleting the old file first would be refused, replacing it must be
// too: a folder or a read-only file stays as it is.
bool MayReplace(const std::string& Path) {
  const DWORD Attributes = ::GetFileAttributesA(Path.c_str());
  if (Attributes == INVALID_FILE_ATTRIBUTES) return true;
  return (Attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

}  // namespace

bool FileContent::Allocate(std::size_t Size, std::size_t AlignedOffset) {
  Clear();
  if (Size == 0) return true;
  // VirtualAlloc hands out whole pages: padding the block's start by the rest
  // of a page puts the byte at AlignedOffset on a page boundary.
  const std::size_t Pad = (kPageSize - AlignedOffset % kPageSize) % kPageSize;
  if (Size > std::numeric_limits<std::size_t>::max() - Pad) return false;
  // Left uninitialised: the pages are first touched by the read itself.
  void* Block = ::VirtualAlloc(nullptr, Pad + Size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (Block == nullptr) return false;
  Data_ = static_cast<unsigned char*>(Block) + Pad;
  Size_ = Size;
  Pad_ = Pad;
  return true;
}

void FileContent::Clear() {
  if (Data_ != nullptr) ::VirtualFree(Data_ - Pad_, 0, MEM_RELEASE);
  Data_ = nullptr;
  Size_ = 0;
  Pad_ = 0;
}

bool FileExists(const std::string& Path) {
  WIN32_FILE_ATTRIBUTE_DATA Info;
  if (Path.empty() || !::GetFileAttributesExA(Path.c_str(), GetFileExInfoStandard, &Info)) {
    return false;
  }
  if (Info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  return Info.nFileSizeHigh != 0 || Info.nFileSizeLow != 0;
}

bool ReadWholeFile(const std::string& Path, std::span<const unsigned char> Lead,
                   FileContent& Content) {
  Content.Clear();
  Handle File(::CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER Length;
  if (!File.Valid() || !::GetFileSizeEx(File.Get(), &Length) || Length.QuadPart < 0) return false;
  if (static_cast<std::uint64_t>(Length.QuadPart) > std::numeric_limits<std::size_t>::max()) {
    return false;
  }
  const auto Size = static_cast<std::size_t>(Length.QuadPart);
  // The lead first, into a small buffer: a file of another kind is refused
  // before the memory for all of it is taken or the rest is read.
  std::vector<unsigned char> Head(Lead.size());
  if (Size < Head.size() || !ReadAll(File.Get(), Head.data(), Head.size()) ||
      !std::equal(Head.begin(), Head.end(), Lead.begin())) {
    return false;
  }
  if (!Content.Allocate(Size, Head.size())) return false;
  std::copy(Head.begin(), Head.end(), Content.Data());
  if (!ReadAll(File.Get(), Content.Data() + Head.size(), Size - Head.size())) {
    Content.Clear();
    return false;
  }
  return true;
}

bool ReplaceFileWith(const std::string& Path, std::span<const unsigned char> Bytes) {
  if (Path.empty() || !MayReplace(Path)) return false;
  char TempPath[MAX_PATH];
  // Creates the (empty) temporary file, so its name is ours alone.
  if (!::GetTempFileNameA(FolderOf(Path).c_str(), "mir", 0, TempPath)) return false;
  Handle Temp(::CreateFileA(TempPath, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!Temp.Valid() || !WriteAll(Temp.Get(), Bytes.data(), Bytes.size()) ||
      !::FlushFileBuffers(Temp.Get()) || !Temp.Close() ||
      !::MoveFileExA(TempPath, Path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    if (Temp.Valid()) Temp.Close();
    ::DeleteFileA(TempPath);
    return false;
  }
  return true;
}

}  // namespace mirvane
