#pragma once
#include <unistd.h>

#include <utility>
// A file descriptor with one owner: closed when the owner goes or takes another one.

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd(fd) {}
  ~UniqueFd() { reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) reset(std::exchange(other.fd, -1));
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd; }
  bool valid() const { return fd >= 0; }
  // Closes the descriptor held (if any) and holds `other` instead.
  void reset(int other = -1) {
    if (fd >= 0) close(fd);
    fd = other;
  }

 private:
  int fd = -1;
};
