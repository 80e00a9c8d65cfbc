// Outputs written without harm to what their path names: the mode of the
// file replaced, a link's target, a FIFO or device written into, nothing
// left behind on failure or on a signal, a set of files all or none.
#include "platform/output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/errors.h"
#include "platform/stream.h"
#include "tests/support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the test output.
std::string Folder(const std::string& name) {
  const std::string folder = test::OutputPath(name);
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const std::string& path, const std::string& text) {
  WriteFileAtomically(path, [&](Stream& s) { s.WriteBytes(text); });
}

// The names in `folder` other than `except`.
std::vector<std::string> Others(const std::string& folder, std::vector<std::string> except) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (std::find(except.begin(), except.end(), name) == except.end()) names.push_back(name);
  }
  return names;
}

unsigned Mode(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

TEST(OutputFile, AReplacedFileKeepsItsModeAndANewOneFollowsTheUmask) {
  const std::string folder = Folder("out_modes");
  const std::string kept = folder + "/private.pdf";
  std::ofstream(kept) << "old";
  ASSERT_EQ(::chmod(kept.c_str(), 0600), 0);
  Write(kept, "new");
  EXPECT_EQ(Read(kept), "new");
  EXPECT_EQ(Mode(kept), 0600u);
  ASSERT_EQ(::chmod(kept.c_str(), 0640), 0);
  Write(kept, "newer");
  EXPECT_EQ(Mode(kept), 0640u);

  const mode_t mask = ::umask(022);
  Write(folder + "/fresh.pdf", "x");
  ::umask(mask);
  EXPECT_EQ(Mode(folder + "/fresh.pdf"), 0644u);
  EXPECT_EQ(Others(folder, {"private.pdf", "fresh.pdf"}), std::vector<std::string>{});
}

TEST(OutputFile, ALinkIsFollowedAndItsTargetReplaced) {
  const std::string folder = Folder("out_links");
  fs::create_directories(folder + "/real");
  std::ofstream(folder + "/real/target.pdf") << "old";
  fs::create_symlink("real/target.pdf", folder + "/link.pdf");
  fs::create_symlink("link.pdf", folder + "/link2.pdf");
  Write(folder + "/link2.pdf", "new");
  EXPECT_TRUE(fs::is_symlink(folder + "/link.pdf"));
  EXPECT_TRUE(fs::is_symlink(folder + "/link2.pdf"));
  EXPECT_EQ(Read(folder + "/real/target.pdf"), "new");
  // A link to nothing yet names the file to make.
  fs::create_symlink("real/later.pdf", folder + "/dangling.pdf");
  Write(folder + "/dangling.pdf", "made");
  EXPECT_TRUE(fs::is_symlink(folder + "/dangling.pdf"));
  EXPECT_EQ(Read(folder + "/real/later.pdf"), "made");
}

TEST(OutputFile, AFifoOrADeviceIsWrittenIntoNeverReplaced) {
  const std::string folder = Folder("out_special");
  const std::string fifo = folder + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = Read(fifo); });
  // A writer that seeks back (as the prepared-file writer does) still works.
  WriteFileAtomically(fifo, [](Stream& s) {
    s.WriteBytes("abcd");
    s.Seek(1);
    s.WriteBytes("X");
    s.Seek(4);
    s.WriteBytes("e");
  });
  reader.join();
  EXPECT_EQ(received, "aXcde");
  struct stat st {};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  Write("/dev/null", "nothing");
  ASSERT_EQ(::lstat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_EQ(Others(folder, {"fifo"}), std::vector<std::string>{});
}

TEST(OutputFile, FailuresLeaveTheOldFileAndNoTemporary) {
  const std::string folder = Folder("out_failures");
  const std::string path = folder + "/kept.frp";
  std::ofstream(path) << "old";
  EXPECT_THROW(WriteFileAtomically(path,
                                   [](Stream& s) {
                                     s.WriteBytes("half");
                                     throw StreamWriteError();
                                   }),
               StreamWriteError);
  EXPECT_EQ(Read(path), "old");
  try {
    OutputFile onFolder(folder);
    FAIL();
  } catch (const FileOpenError& e) {
    EXPECT_NE(std::string(e.what()).find("it is a folder"), std::string::npos) << e.what();
  }
  EXPECT_EQ(Others(folder, {"kept.frp"}), std::vector<std::string>{});
}

TEST(OutputFile, ASetIsCommittedWholeOrNotAtAll) {
  const std::string folder = Folder("out_set");
  for (const char* name : {"page-001.png", "page-002.png"})
    std::ofstream(folder + "/" + name) << "old";
  {
    OutputFileSet set;
    for (const char* name : {"page-001.png", "page-002.png", "page-003.png"}) {
      OutputFile& file = set.Add(folder + "/" + name);
      ASSERT_EQ(::write(file.Descriptor(), "new", 3), 3);
      file.Finish();
    }
    // Not committed: the set goes as if the fourth page had failed.
  }
  EXPECT_EQ(Read(folder + "/page-001.png"), "old");
  EXPECT_EQ(Read(folder + "/page-002.png"), "old");
  EXPECT_EQ(Others(folder, {"page-001.png", "page-002.png"}), std::vector<std::string>{});

  OutputFileSet set;
  for (const char* name : {"page-001.png", "page-002.png", "page-003.png"}) {
    OutputFile& file = set.Add(folder + "/" + name);
    ASSERT_EQ(::write(file.Descriptor(), "new", 3), 3);
    file.Finish();
  }
  set.CommitAll();
  for (const char* name : {"page-001.png", "page-002.png", "page-003.png"})
    EXPECT_EQ(Read(folder + "/" + name), "new") << name;
}

// A program ended by SIGINT, SIGTERM or SIGHUP while writing leaves no
// temporary, and ends by that signal.
TEST(OutputFile, ASignalRemovesTheTemporariesAndEndsTheProgram) {
  const std::string folder = Folder("out_signal");
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      RemoveTemporariesOnSignals();
      OutputFile file(folder + "/out.pdf");
      (void)!::write(file.Descriptor(), "half", 4);
      ::raise(signal);
      ::_exit(0);  // not reached
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    if (WIFSIGNALED(status)) EXPECT_EQ(WTERMSIG(status), signal);
    EXPECT_EQ(Others(folder, {}), std::vector<std::string>{});
  }
}

// A pipe's bytes are copied once so that they can be read again; the copy
// goes with its object. Same-file checks see through links.
TEST(OutputFile, PipesAreCopiedOnceAndSameFilesAreKnown) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  std::thread writer([&] {
    const std::string text = "name,price\nx,1\n";
    (void)!::write(fds[1], text.data(), text.size());
    ::close(fds[1]);
  });
  std::string copyPath;
  {
    ScratchCopy copy("/proc/self/fd/" + std::to_string(fds[0]));
    writer.join();
    copyPath = copy.Path();
    EXPECT_EQ(Read(copyPath), "name,price\nx,1\n");
    EXPECT_EQ(Read(copyPath), "name,price\nx,1\n");
  }
  ::close(fds[0]);
  EXPECT_FALSE(fs::exists(copyPath));

  const std::string folder = Folder("out_same");
  std::ofstream(folder + "/a.json") << "{}";
  std::ofstream(folder + "/b.json") << "{}";
  fs::create_symlink("a.json", folder + "/link.json");
  EXPECT_TRUE(SameFile(folder + "/a.json", folder + "/link.json"));
  EXPECT_TRUE(SameFile(folder + "/a.json", folder + "/../out_same/a.json"));
  EXPECT_FALSE(SameFile(folder + "/a.json", folder + "/b.json"));
  EXPECT_FALSE(SameFile(folder + "/a.json", folder + "/absent.json"));
  EXPECT_FALSE(SameFile("/dev/null", "/dev/null"));  // no regular file
}

}  // namespace
}  // namespace quillet
