// Saving replaces a file as a whole, yet the file stays what it was: its
// mode and owner, its being read-only, and a symbolic link to it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "apps/forms/AtomicFile.h"
#include "platform/Error.h"

namespace trovel::forms {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(dir);
    fs::create_directories(dir / "real");
  }
  void TearDown() override { fs::remove_all(dir); }

  fs::path Make(const std::string& name, const std::string& text, mode_t mode) const {
    const fs::path path = dir / name;
    fs::remove(path);
    std::ofstream(path, std::ios::binary) << text;
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    return path;
  }
  static std::string Bytes(const fs::path& file) {
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
  }
  static struct stat Stat(const fs::path& file) {
    struct stat st {};
    EXPECT_EQ(::lstat(file.c_str(), &st), 0) << file;
    return st;
  }
  // Every name under dir, so that a temporary file left behind shows.
  std::set<std::string> Listing() const {
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir)) names.insert(e.path().lexically_relative(dir).string());
    return names;
  }
  // Writes `path` expecting a refusal that names it and says `reason`.
  static void ExpectRefused(const fs::path& path, const std::string& reason) {
    try {
      AtomicFile::Write(path.string(), "nuevo");
      ADD_FAILURE() << path << " was written";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), 75);
      EXPECT_NE(e.description().find(path.string()), std::string::npos) << e.description();
      EXPECT_NE(e.description().find(reason), std::string::npos) << e.description();
    }
  }

  const fs::path dir = fs::temp_directory_path() / ("trovel_atomicfile_" + std::to_string(::getpid()));
};

TEST_F(AtomicFileTest, AReplacedFileKeepsItsModeAndANewOneGetsTheUsualMode) {
  for (mode_t mode : {0600, 0640, 0604, 0755, 02750, 04700}) {
    const fs::path path = Make("form.json", "viejo", mode);
    AtomicFile::Write(path.string(), "nuevo");
    EXPECT_EQ(Bytes(path), "nuevo");
    EXPECT_EQ(Stat(path).st_mode & 07777, mode) << std::oct << mode;
  }
  const mode_t before = ::umask(027);
  AtomicFile::Write((dir / "new.json").string(), "nuevo");
  ::umask(before);
  EXPECT_EQ(Stat(dir / "new.json").st_mode & 07777, 0640u);
  EXPECT_EQ(Listing(), (std::set<std::string>{"form.json", "new.json", "real"}));
}

TEST_F(AtomicFileTest, AReplacedFileKeepsItsOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root may give a file to another user";
  const fs::path path = Make("form.json", "viejo", 04750);
  ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
  ASSERT_EQ(::chmod(path.c_str(), 04750), 0);  // giving it away cleared the set-user-ID bit
  AtomicFile::Write(path.string(), "nuevo");
  const struct stat st = Stat(path);
  EXPECT_EQ(st.st_uid, 4321u);
  EXPECT_EQ(st.st_gid, 4322u);
  EXPECT_EQ(st.st_mode & 07777, 04750u);
  EXPECT_EQ(Bytes(path), "nuevo");
}

// A plain write refuses a file without write permission; root's would not,
// and a save refuses a read-only file all the same. Either way nothing
// changes and no temporary file is left.
TEST_F(AtomicFileTest, AFileThatMayNotBeWrittenIsRefusedAndLeftAsItWas) {
  for (mode_t mode : {0444, 0400, 0000, 04555}) {
    const fs::path path = Make("form.json", "viejo", mode);
    const std::set<std::string> before = Listing();
    ExpectRefused(path, "es de solo lectura");
    EXPECT_EQ(Bytes(path), "viejo");
    EXPECT_EQ(Stat(path).st_mode & 07777, mode);
    EXPECT_EQ(Listing(), before);
  }
  // Not a file that a save may replace: a folder, a pipe.
  fs::create_directories(dir / "folder.json");
  ExpectRefused(dir / "folder.json", "Is a directory");
  ASSERT_EQ(::mkfifo((dir / "pipe.json").c_str(), 0644), 0);
  ExpectRefused(dir / "pipe.json", "no es un archivo normal");
  EXPECT_TRUE(fs::is_directory(dir / "folder.json"));
  EXPECT_TRUE(fs::is_fifo(dir / "pipe.json"));
  EXPECT_EQ(Listing(), (std::set<std::string>{"folder.json", "form.json", "pipe.json", "real"}));
}

TEST_F(AtomicFileTest, ASymbolicLinkIsWrittenThrough) {
  const fs::path form = Make("real/form.json", "viejo", 0640);
  fs::create_symlink("real/form.json", dir / "link.json");      // relative to the link's folder
  fs::create_symlink(dir / "link.json", dir / "real/chain.json");  // a link to a link
  for (const char* name : {"link.json", "real/chain.json"}) {
    AtomicFile::Write((dir / name).string(), std::string("por ") + name);
    EXPECT_EQ(Bytes(form), std::string("por ") + name);
    EXPECT_EQ(Stat(form).st_mode & 07777, 0640u);
  }
  EXPECT_EQ(fs::read_symlink(dir / "link.json"), "real/form.json");
  EXPECT_EQ(fs::read_symlink(dir / "real/chain.json"), dir / "link.json");

  // A link to no file yet makes the file, as a plain write does.
  fs::create_symlink("real/made.json", dir / "dangling.json");
  AtomicFile::Write((dir / "dangling.json").string(), "hecho");
  EXPECT_EQ(Bytes(dir / "real/made.json"), "hecho");
  EXPECT_TRUE(fs::is_symlink(dir / "dangling.json"));

  // A link to a read-only file is refused; a loop of links too.
  const fs::path locked = Make("real/locked.json", "viejo", 0444);
  fs::create_symlink(locked, dir / "locked-link.json");
  ExpectRefused(dir / "locked-link.json", "es de solo lectura");
  EXPECT_EQ(Bytes(locked), "viejo");
  fs::create_symlink("loop-b.json", dir / "loop-a.json");
  fs::create_symlink("loop-a.json", dir / "loop-b.json");
  ExpectRefused(dir / "loop-a.json", "symbolic links");

  EXPECT_EQ(Listing(), (std::set<std::string>{"dangling.json", "link.json", "locked-link.json", "loop-a.json",
                                              "loop-b.json", "real", "real/chain.json", "real/form.json",
                                              "real/locked.json", "real/made.json"}));
  for (const char* link : {"link.json", "real/chain.json", "dangling.json", "locked-link.json"})
    EXPECT_TRUE(fs::is_symlink(dir / link)) << link;
}

}  // namespace
}  // namespace trovel::forms
