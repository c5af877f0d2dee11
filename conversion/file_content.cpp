#include <new>

#include "file_system.h"

namespace mirvane {

bool FileContent::Allocate(std::size_t Size) {
  Clear();
  // Default-initialised: the pages are first touched by the read itself.
  Data_.reset(new (std::nothrow) unsigned char[Size]);
  if (!Data_) return false;
  Size_ = Size;
  return true;
}

void FileContent::Clear() {
  Data_.reset();
  Size_ = 0;
}

}  // namespace mirvane
