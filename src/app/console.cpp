#include "app/console.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

Console::Console(int fd, std::size_t capacity)
    : fd_(fd), capacity_(capacity), sink_([this](const std::string& line) { take(line); }) {
  struct stat st {};
  // Files and devices such as /dev/null take every write at once.
  if (fstat(fd, &st) != 0 || S_ISREG(st.st_mode) || (S_ISCHR(st.st_mode) && !isatty(fd))) return;
  // A pipe, socket or terminal can stall. A description of our own takes the
  // non-blocking flag, so that it does not reach whoever shares this one (a
  // shell on the same terminal); a socket cannot be reopened and takes it on the
  // shared one until finish() puts it back.
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  ownFd_ = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (ownFd_ >= 0) {
    fd_ = ownFd_;
  } else if (S_ISFIFO(st.st_mode) && errno == ENXIO) {
    gone_ = true;  // a pipe without a reader
    error_ = EPIPE;
  } else {
    sharedFlags_ = fcntl(fd, F_GETFL);
    if (sharedFlags_ != -1) fcntl(fd, F_SETFL, sharedFlags_ | O_NONBLOCK);
  }
}

Console::~Console() { finish(); }

void Console::take(const std::string& line) {
  if (recent_.size() == kRecentLines) recent_.pop_front();
  recent_.push_back(line);
  if (gone_ || pending_.size() - written_ + line.size() + 1 > capacity_) {
    ++dropped_;
  } else {
    if (written_ > 0) pending_.erase(0, written_), written_ = 0;
    pending_ += line;
    pending_ += '\n';
  }
  drain();
}

void Console::lose(int error) {
  gone_ = true;
  error_ = error;
  dropped_ += std::count(pending_.begin() + written_, pending_.end(), '\n');
  pending_.clear();
  written_ = 0;
}

void Console::drain() {
  while (!gone_ && written_ < pending_.size()) {
    const ssize_t n = write(fd_, pending_.data() + written_, pending_.size() - written_);
    if (n > 0) written_ += static_cast<std::size_t>(n);
    else if (n < 0 && errno == EINTR) continue;
    else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    else lose(n == 0 ? EIO : errno);  // EPIPE, ENOSPC, any failure: nothing more will go out
  }
  pending_.clear();
  written_ = 0;
}

void Console::finish() {
  if (finished_) return;
  finished_ = true;
  drain();
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  while (!gone_ && written_ < pending_.size() && std::chrono::steady_clock::now() < end) {
    pollfd p{fd_, POLLOUT, 0};
    if (poll(&p, 1, 100) <= 0) break;  // no room for a tenth of a second: stalled
    drain();
  }
  // What the reader did not take in time is lost, but the reader is not gone.
  dropped_ += std::count(pending_.begin() + written_, pending_.end(), '\n');
  pending_.clear();
  written_ = 0;
  if (ownFd_ >= 0) close(ownFd_);
  if (sharedFlags_ != -1) fcntl(fd_, F_SETFL, sharedFlags_);
  if (dropped_ == 0) return;
  const std::string message = linesNotWritten(dropped_, gone_ ? error_ : 0);
  // Standard error may be the same stalled pipe: one short write, only if it fits.
  pollfd p{STDERR_FILENO, POLLOUT, 0};
  if (poll(&p, 1, 0) == 1 && (p.revents & POLLOUT)) {
    [[maybe_unused]] const ssize_t ignored = write(STDERR_FILENO, message.data(), message.size());
  }
}
