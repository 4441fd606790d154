#include "apps/forms/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/Error.h"

namespace trovel::forms {

namespace fs = std::filesystem;

namespace {

constexpr int kFileAccessError = 75;
// Links followed one after another before giving up, as the system does.
constexpr int kMaxLinks = 40;

Error WriteError(const std::string& path, const std::string& reason) {
  return Error(kFileAccessError, "no se puede escribir el archivo " + path + ": " + reason);
}

// The file that `path` leads to: a symbolic link there is followed, and
// the link it leads to, each read from the link's own folder. Renaming over
// a link would replace the link, not the file it names. Links among the
// folders on the way need nothing: the rename goes through them.
fs::path FollowLinks(const std::string& path) {
  fs::path target(path);
  for (int followed = 0;; ++followed) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(target, ec))) return target;
    if (followed == kMaxLinks) throw WriteError(path, std::strerror(ELOOP));
    const fs::path next = fs::read_symlink(target, ec);
    if (ec) throw WriteError(path, "el enlace no se puede seguir: " + ec.message());
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
}

// Refuses a file that a plain write would refuse, and a read-only one
// (no write bit at all), which a plain write by root would not: root may
// write anything, and a form marked read-only is still meant to stay as it
// is.
void CheckWritable(const std::string& path, const fs::path& target, const struct stat& old) {
  if (S_ISDIR(old.st_mode)) throw WriteError(path, std::strerror(EISDIR));
  if (!S_ISREG(old.st_mode)) throw WriteError(path, "no es un archivo normal");
  if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) throw WriteError(path, "es de solo lectura");
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) throw WriteError(path, std::strerror(errno));
}

// Gives the new file the owner and group of the old one. A writer that may
// not give a file away (only root may) keeps at least the group where it
// belongs to it; past that the file is the writer's, as a file it made.
// True when the owner was kept.
bool KeepOwner(int fd, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) == 0) return true;
  const int group = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  (void)group;  // the writer's own group otherwise
  return false;
}

// The permissions a file created now gets. The umask can only be read by
// setting it, so it is set and put back at once.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Writes all of `contents`, retrying short writes; false with errno set on
// failure. A file size limit shows up as a short write followed by EFBIG, a
// full disk as ENOSPC.
bool WriteAll(int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t n = ::write(fd, contents.data(), contents.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    contents.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

void AtomicFile::Write(const std::string& path, std::string_view contents) {
  const fs::path target = FollowLinks(path);
  struct stat old {};
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  if (!replacing && errno != ENOENT) throw WriteError(path, std::strerror(errno));
  if (replacing) CheckWritable(path, target, old);

  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  // A hidden name in the same folder, so that rename() never crosses file
  // systems and a listing of the folder does not offer the half-made file.
  std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> temp(name.begin(), name.end());
  temp.push_back('\0');

  const int fd = ::mkstemp(temp.data());
  if (fd < 0) throw WriteError(path, std::strerror(errno));
  // The owner first: giving a file away clears its set-user-ID and
  // set-group-ID bits, which the mode then puts back, unless the file is now
  // the writer's: it then drops them, as a plain write by another user does.
  mode_t mode = NewFileMode();
  if (replacing) mode = KeepOwner(fd, old) ? (old.st_mode & 07777) : (old.st_mode & 0777);

  std::string failure;
  if (::fchmod(fd, mode) != 0 || !WriteAll(fd, contents) || ::fsync(fd) != 0) failure = std::strerror(errno);
  if (::close(fd) != 0 && failure.empty()) failure = std::strerror(errno);
  if (failure.empty() && ::rename(temp.data(), target.c_str()) != 0) failure = std::strerror(errno);
  if (!failure.empty()) {
    ::unlink(temp.data());
    throw WriteError(path, failure);
  }
  // The rename itself reaches the disk with the folder. The new contents are
  // in place already, so a failure here is no reason to report the save lost.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace trovel::forms
