// An open file descriptor that closes itself when its owner goes away.
#pragma once

#include <unistd.h>

#include <utility>

namespace mirvane {

class Descriptor {
 public:
  explicit Descriptor(int Fd = -1) : Fd_(Fd) {}
  ~Descriptor() {
    if (Fd_ >= 0) ::close(Fd_);
  }
  Descriptor(Descriptor&& Other) noexcept : Fd_(std::exchange(Other.Fd_, -1)) {}
  Descriptor& operator=(Descriptor&& Other) noexcept {
    std::swap(Fd_, Other.Fd_);
    return *this;
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int Get() const { return Fd_; }
  bool Valid() const { return Fd_ >= 0; }
  // Closes now and says whether the kernel accepted everything written.
  bool Close() { return ::close(std::exchange(Fd_, -1)) == 0; }

 private:
  int Fd_;
};

}  // namespace mirvane
