#pragma once
// Writing bytes to a descriptor in full, through interrupted and short writes.

#include <cstddef>
#include <string>

// 0 once every byte went out; otherwise the errno of the write that failed
// (ENOSPC for one that took nothing), with part of the bytes perhaps written.
int writeAll(int fd, const char* bytes, std::size_t size);
inline int writeAll(int fd, const std::string& bytes) {
  return writeAll(fd, bytes.data(), bytes.size());
}
