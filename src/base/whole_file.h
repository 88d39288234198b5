#pragma once
// A file that takes its name only once it is whole: written under a hidden
// temporary name in the same folder, flushed to the disk, then renamed into
// place, so that a process killed at any moment leaves under the name either
// what was there before or the whole new file.

#include <string>

// The temporary name for `path`: ".NAME.tmp" in the same folder, or
// ".NAME.TAG.tmp" with a tag. Hidden and with another ending, so that nothing
// that looks for recordings takes one left by a kill for one.
std::string temporaryPathFor(const std::string& path, const std::string& tag = {});

// Flushes what was written through `fd` to the disk. 0, or the errno.
int flushToDisk(int fd);

// Gives the file `temporary` the name `path`, and flushes the folder's entry:
// over whatever holds the name when `replace`, else only where the name is
// free (EEXIST when it is taken). 0, or the errno; on failure `temporary`
// stays as it was.
int renameIntoPlace(const std::string& temporary, const std::string& path, bool replace);
