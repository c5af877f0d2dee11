// Redirects this program's calls to a system function: for faults that the
// system gives only in a race, and to silence a call that cannot work where
// the program runs. Header only.
#pragma once

#include <windows.h>

namespace mirvane::testing {

// Points this program's import that points at From to To instead; false
// when it has none. Only code linked into the program file calls through
// its imports: a DLL's calls still reach From. A delayed import (one bound
// at its first call) has its slot in the program's writable data, which GNU
// ld lists in no directory: it is found there by what it holds.
inline bool PointImport(void* From, void* To) {
  auto* Base = reinterpret_cast<unsigned char*>(::GetModuleHandleW(nullptr));
  const auto* Headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      Base + reinterpret_cast<const IMAGE_DOS_HEADER*>(Base)->e_lfanew);
  const auto Point = [&](void** Slot) {
    DWORD Access = 0;
    if (*Slot != From || !::VirtualProtect(Slot, sizeof *Slot, PAGE_READWRITE, &Access)) return false;
    *Slot = To;
    return true;
  };
  auto* Dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
      Base + Headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
  for (; Dll->Name != 0; ++Dll) {
    for (auto** Slot = reinterpret_cast<void**>(Base + Dll->FirstThunk); *Slot != nullptr; ++Slot) {
      if (Point(Slot)) return true;
    }
  }
  const IMAGE_SECTION_HEADER* Section = IMAGE_FIRST_SECTION(Headers);
  for (WORD I = 0; I < Headers->FileHeader.NumberOfSections; ++I, ++Section) {
    if (!(Section->Characteristics & IMAGE_SCN_MEM_WRITE)) continue;
    auto** Slot = reinterpret_cast<void**>(Base + Section->VirtualAddress);
    for (DWORD At = 0; At + sizeof(void*) <= Section->Misc.VirtualSize; At += sizeof(void*), ++Slot) {
      if (Point(Slot)) return true;
    }
  }
  return false;
}

}  // namespace mirvane::testing
