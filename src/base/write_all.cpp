#include "base/write_all.h"

#include <unistd.h>

#include <cerrno>

int writeAll(int fd, const char* bytes, std::size_t size) {
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = ::write(fd, bytes + done, size - done);
    if (n > 0) done += static_cast<std::size_t>(n);
    else if (n == 0) return ENOSPC;
    else if (errno != EINTR) return errno;
  }
  return 0;
}
