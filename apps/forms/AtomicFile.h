// AtomicFile: replaces a file's contents all at once or not at all.
//
// The new contents go into a temporary file in the target's own folder
// (so that the final rename stays within one file system), are flushed to
// the disk, and the temporary file is then renamed over the target. A
// reader, or a crash, sees the old file or the new one, never a file cut
// short. Any failure removes the temporary file and leaves the target byte
// for byte as it was.
//
// The file stays what it was, as if it had been written in place: it keeps
// its permission mode, and its owner and group as far as the process may
// give them (root always may; another user may keep the group when it
// belongs to it). A symbolic link stays a link, and the file it leads to
// gets the new contents. A file that may not be written is refused as a
// plain write would refuse it, and so is a read-only one (no write bit at
// all) even where the process could write it anyway, as root can: a save
// never undoes a file's being made read-only.
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
  // permissions (0666 less the umask). A symbolic link is followed, also
  // one that leads to no file yet, which is then made.
  // Throws Error (number 75) naming the file and the reason.
  static void Write(const std::string& path, std::string_view contents);
};

}  // namespace trovel::forms
