#include "platform/output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/errors.h"

namespace quillet {
namespace {

// The temporaries a signal handler removes: fixed slots, so the handler
// touches no allocation. A slot is claimed, its path copied, then marked full.
constexpr int kSlots = 64;
constexpr std::size_t kPathBytes = 4096;
char slotPaths[kSlots][kPathBytes];
std::atomic<int> slotState[kSlots];  // 0 free, 1 being written, 2 full

int Remember(const std::string& path) {
  if (path.size() >= kPathBytes) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = 0;
    if (!slotState[i].compare_exchange_strong(expected, 1)) continue;
    std::memcpy(slotPaths[i], path.c_str(), path.size() + 1);
    slotState[i].store(2);
    return i;
  }
  return -1;  // too many at once: removed on normal paths only
}

void Forget(int slot) {
  if (slot >= 0) slotState[slot].store(0);
}

extern "C" void RemoveTemporariesAndEnd(int signal) {
  for (int i = 0; i < kSlots; ++i)
    if (slotState[i].load() == 2) ::unlink(slotPaths[i]);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

std::string Reason(int error) {
  return std::strerror(error);
}

// `path` with every symbolic link along the last component followed, so a
// link's target is what gets replaced. A dangling link names the file to make.
std::string FollowLinks(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path at = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at.string();
    std::error_code ec;
    const fs::path next = fs::read_symlink(at, ec);
    if (ec) return at.string();
    at = next.is_absolute() ? next : at.parent_path() / next;
  }
  throw FileOpenError("Cannot write file \"" + path + "\". " + Reason(ELOOP));
}

unsigned CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path), target_(FollowLinks(path)) {
  struct stat st {};
  if (::stat(target_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode))
      throw FileOpenError("Cannot write file \"" + path_ + "\": it is a folder");
    if (!S_ISREG(st.st_mode)) {
      // A FIFO, a device or a terminal: written into, never replaced.
      direct_ = true;
      fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
      if (fd_ < 0) throw FileOpenError("Cannot write file \"" + path_ + "\". " + Reason(errno));
      return;
    }
    existed_ = true;
    oldMode_ = st.st_mode & 07777;
    oldOwner_ = st.st_uid;
    oldGroup_ = st.st_gid;
  }
  std::string pattern = target_ + ".tmpXXXXXX";
  fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);  // O_EXCL, mode 0600
  if (fd_ < 0) throw FileOpenError("Cannot write file \"" + path_ + "\". " + Reason(errno));
  temp_ = pattern;
  slot_ = Remember(temp_);
}

OutputFile::~OutputFile() {
  Discard();
}

void OutputFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    Forget(slot_);
    slot_ = -1;
    temp_.clear();
  }
}

void OutputFile::Fail(int error) {
  Discard();
  throw StreamWriteError("Cannot write file \"" + path_ + "\". " + Reason(error));
}

void OutputFile::Finish() {
  if (fd_ < 0) return;
  if (direct_) {
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0 && errno != EINTR) Fail(errno);
    return;
  }
  const mode_t mode = existed_ ? mode_t(oldMode_) : mode_t(0666 & ~CurrentUmask());
  if (existed_ && (oldOwner_ != ::geteuid() || oldGroup_ != ::getegid()))
    (void)!::fchown(fd_, oldOwner_, oldGroup_);  // kept where permitted
  if (::fchmod(fd_, mode) != 0) Fail(errno);
  if (::fsync(fd_) != 0) Fail(errno);
  const int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) Fail(errno);
}

void OutputFile::Commit() {
  Finish();
  if (temp_.empty()) return;  // written directly, or committed already
  if (::rename(temp_.c_str(), target_.c_str()) != 0) Fail(errno);
  Forget(slot_);
  slot_ = -1;
  temp_.clear();
  // The rename itself reaches the disk with the folder.
  const std::string folder = std::filesystem::path(target_).parent_path().string();
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)::fsync(dir);
    ::close(dir);
  }
}

OutputFile& OutputFileSet::Add(const std::string& path) {
  files_.push_back(std::make_unique<OutputFile>(path));
  return *files_.back();
}

void OutputFileSet::CommitAll() {
  for (auto& file : files_) file->Commit();
  files_.clear();
}

ScratchCopy::ScratchCopy(const std::string& source) {
  auto fail = [&](int error) {
    throw FileOpenError("Cannot read \"" + source + "\". " + Reason(error));
  };
  const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) fail(errno);
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quillet-input-XXXXXX";
  const int out = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (out < 0) {
    const int error = errno;
    ::close(in);
    fail(error);
  }
  path_ = pattern;
  slot_ = Remember(path_);
  char buffer[64 * 1024];
  int error = 0;
  for (;;) {
    const ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error = errno;
    if (n <= 0) break;
    for (ssize_t done = 0; done < n && !error;) {
      const ssize_t w = ::write(out, buffer + done, std::size_t(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w < 0)
        error = errno;
      else
        done += w;
    }
    if (error) break;
  }
  ::close(in);
  if (::close(out) != 0 && !error) error = errno;
  if (error) {
    ::unlink(path_.c_str());
    Forget(slot_);
    fail(error);
  }
}

ScratchCopy::~ScratchCopy() {
  ::unlink(path_.c_str());
  Forget(slot_);
}

void RemoveTemporariesOnSignals() {
  struct sigaction action {};
  action.sa_handler = RemoveTemporariesAndEnd;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && S_ISREG(sa.st_mode) &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace quillet
