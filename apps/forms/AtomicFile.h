// AtomicFile: replaces a file's contents all at once or not at all.
//
// The new contents go into a temporary file in the target's own folder
// (so that the final rename stays within one file system), are flushed to
// the disk, and the temporary file is then renamed over the target. A
// reader, or a crash, sees the old file or the new one, never a file cut
// short. Any failure removes the temporary file and leaves the target byte
// for byte as it was.
//
// Threading: one thread at a time, since finding a new file's permissions
// sets the process's umask for an instant. Two writers of the same target
// race, and the last rename wins.
#pragma once

#include <string>
#include <string_view>

namespace trovel::forms {

class AtomicFile {
 public:
  AtomicFile() = delete;

  // Makes `contents` the contents of `path`. A new file gets the usual
  // permissions (0666 less the umask); a replaced file keeps its own. A
  // symbolic link is followed: the file it points to is replaced.
  // Throws Error (number 75) naming the file and the system's reason.
  static void Write(const std::string& path, std::string_view contents);
};

}  // namespace trovel::forms
