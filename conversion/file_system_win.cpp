// File operations on Windows. Paths arrive as UTF-8 and go to the wide
// ("W") calls, which take any name and any length the system accepts; the
// ANSI code page plays no part.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <iterator>
#include <string>

#include "file_system.h"
#include "full_path_win.h"
#include "read_primitives.h"
#include "utf16_win.h"

namespace mirvane {

namespace {

// ReadFile and WriteFile take 32-bit counts; moderate pieces also keep
// network shares and old drivers happy.
constexpr DWORD kPieceSize = 16 * 1024 * 1024;

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

// Text that is not UTF-8, or holds a NUL, names no file rather than a
// different one.
bool ToWide(const std::string& Text, std::wstring& Wide) {
  if (Text.find('\0') != std::string::npos) return false;
  Wide = Utf16(Text, BadText::Refuse);
  return !Wide.empty();
}

// The absolute form of Path (see FullPath).
bool FullPathOf(const std::string& Path, std::wstring& Full) {
  std::wstring Wide;
  if (!ToWide(Path, Wide)) return false;
  Full = FullPath(Wide);
  return !Full.empty();
}

// What the W calls are given for a full path: the path itself up to MAX_PATH,
// beyond it the \\?\ form, which lifts the limit (and skips the clean-up that
// GetFullPathNameW has already done).
std::wstring ApiName(const std::wstring& Full) {
  if (Full.size() < MAX_PATH || Full.starts_with(L"\\\\?\\") || Full.starts_with(L"\\\\.\\")) {
    return Full;
  }
  if (Full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + Full.substr(2);
  return L"\\\\?\\" + Full;
}

bool ApiNameOf(const std::string& Path, std::wstring& Name) {
  std::wstring Full;
  if (!FullPathOf(Path, Full)) return false;
  Name = ApiName(Full);
  return true;
}

// Creates a new, empty file with Attributes in the folder of the full path
// Beside and names it in Name, a full path. CREATE_NEW fails on a name that
// is taken, so the file is this call's alone; another name is tried then.
HANDLE CreateTemporaryBeside(const std::wstring& Beside, DWORD Attributes, std::wstring& Name) {
  const std::wstring Folder = Beside.substr(0, Beside.find_last_of(L'\\') + 1);
  LARGE_INTEGER Now{};
  ::QueryPerformanceCounter(&Now);
  const auto Seed = static_cast<std::uint32_t>(Now.QuadPart) ^ (::GetCurrentProcessId() << 16);
  for (std::uint32_t Attempt = 0; Attempt < 100; ++Attempt) {
    wchar_t Stem[16];
    std::swprintf(Stem, std::size(Stem), L"mir%08lX.tmp",
                  static_cast<unsigned long>(Seed + Attempt * 0x9E3779B9u));
    Name = Folder + Stem;
    const HANDLE File = ::CreateFileW(ApiName(Name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      Attributes, nullptr);
    if (File != INVALID_HANDLE_VALUE) return File;
    const DWORD Error = ::GetLastError();
    if (Error != ERROR_FILE_EXISTS && Error != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

enum class Placed { Yes, No, OnlyAsTemporary };

// ReplaceFileW keeps the old card's attributes and security. Without a backup
// name, its failure to move the new file in (ERROR_UNABLE_TO_MOVE_REPLACEMENT)
// may leave the old card gone and the new one under its temporary name:
// finishing the move is then the way to keep a card at Target. If that fails
// too, a file standing at Target (another save that got there first) makes
// the temporary surplus; otherwise it is the only copy of the card left, or
// nothing at Target can be vouched for, and it must not be deleted.
Placed PutInPlaceOf(const std::wstring& Target, const std::wstring& Temp) {
  if (::ReplaceFileW(Target.c_str(), Temp.c_str(), nullptr, 0, nullptr, nullptr)) {
    return Placed::Yes;
  }
  if (::GetLastError() != ERROR_UNABLE_TO_MOVE_REPLACEMENT) return Placed::No;
  if (::MoveFileExW(Temp.c_str(), Target.c_str(), MOVEFILE_WRITE_THROUGH)) return Placed::Yes;
  return ::GetFileAttributesW(Target.c_str()) != INVALID_FILE_ATTRIBUTES ? Placed::No
                                                                         : Placed::OnlyAsTemporary;
}

}  // namespace

bool FileExists(const std::string& Path) {
  std::wstring Name;
  WIN32_FILE_ATTRIBUTE_DATA Info;
  if (!ApiNameOf(Path, Name) ||
      !::GetFileAttributesExW(Name.c_str(), GetFileExInfoStandard, &Info)) {
    return false;
  }
  if (Info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  return Info.nFileSizeHigh != 0 || Info.nFileSizeLow != 0;
}

SourceFile::SourceFile(const std::string& Path) {
  std::wstring Name;
  if (!ApiNameOf(Path, Name)) return;
  const HANDLE File = ::CreateFileW(Name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  Handle_ = reinterpret_cast<std::intptr_t>(File);
  LARGE_INTEGER Length;
  if (File != INVALID_HANDLE_VALUE && ::GetFileSizeEx(File, &Length) && Length.QuadPart >= 0) {
    Length_ = static_cast<std::uint64_t>(Length.QuadPart);
  }
}

SourceFile::~SourceFile() {
  if (Handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(Handle_));
}

std::size_t SourceFile::Read(unsigned char* Data, std::size_t Size) const {
  const DWORD Want = static_cast<DWORD>(std::min<std::size_t>(Size, kPieceSize));
  DWORD Got = 0;
  return ::ReadFile(reinterpret_cast<HANDLE>(Handle_), Data, Want, &Got, nullptr) ? Got : 0;
}

void* AllocatePages(std::size_t Size) {
  return ::VirtualAlloc(nullptr, Size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FreePages(void* Block, std::size_t /*Size*/) {
  ::VirtualFree(Block, 0, MEM_RELEASE);
}

bool ReplaceFileWith(const std::string& Path, std::span<const unsigned char> Bytes,
                     std::string* Stranded) {
  std::wstring Full;
  if (!FullPathOf(Path, Full)) return false;
  const std::wstring Target = ApiName(Full);
  const DWORD Old = ::GetFileAttributesW(Target.c_str());
  const bool Replacing = Old != INVALID_FILE_ATTRIBUTES;
  // Where deleting the old file first would be refused, replacing it must be
  // too: a folder or a read-only file stays as it is.
  if (Replacing && (Old & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) return false;
  // Wine's ReplaceFileW drops the old file's attributes: the new one is
  // created hidden or system already where the old one was.
  const DWORD Kept = Replacing ? Old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) : 0;
  std::wstring TempFull;
  Handle Temp(CreateTemporaryBeside(Full, Kept != 0 ? Kept : FILE_ATTRIBUTE_NORMAL, TempFull));
  if (!Temp.Valid()) return false;
  const std::wstring TempName = ApiName(TempFull);
  const bool Written = WriteAll(Temp.Get(), Bytes.data(), Bytes.size()) &&
                       ::FlushFileBuffers(Temp.Get()) && Temp.Close();
  if (Temp.Valid()) Temp.Close();
  // A new card is only ever created, never put over one that appeared since.
  const Placed Result = !Written    ? Placed::No
                        : Replacing ? PutInPlaceOf(Target, TempName)
                        : ::MoveFileExW(TempName.c_str(), Target.c_str(), MOVEFILE_WRITE_THROUGH)
                            ? Placed::Yes
                            : Placed::No;
  if (Result == Placed::No) ::DeleteFileW(TempName.c_str());
  // Named for the user to read; its folder came from valid UTF-8.
  if (Result == Placed::OnlyAsTemporary && Stranded != nullptr) {
    *Stranded = Utf8(TempFull, BadText::Replace);
  }
  return Result == Placed::Yes;
}

}  // namespace mirvane
