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

Error WriteError(const std::string& path, const std::string& reason) {
  return Error(kFileAccessError, "cannot write the file " + path + ": " + reason);
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
  fs::path target(path);
  std::error_code ec;
  if (fs::is_symlink(target, ec)) {
    // Renaming over the link would replace the link, not the form it names.
    fs::path resolved = fs::canonical(target, ec);
    if (ec) throw WriteError(path, "the link cannot be followed: " + ec.message());
    target = resolved;
  }
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  // A hidden name in the same folder, so that rename() never crosses file
  // systems and a listing of the folder does not offer the half-made file.
  std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> temp(name.begin(), name.end());
  temp.push_back('\0');

  const int fd = ::mkstemp(temp.data());
  if (fd < 0) throw WriteError(path, std::strerror(errno));
  struct stat old {};
  const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();

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
