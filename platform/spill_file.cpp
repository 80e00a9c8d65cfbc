#include "platform/spill_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/errors.h"

namespace quillet {
namespace {

std::string TemporaryFolder() {
  const char* dir = std::getenv("TMPDIR");
  return dir && *dir ? dir : "/tmp";
}

int OpenUnnamed(const std::string& folder) {
#ifdef O_TMPFILE
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0) return fd;
    // File systems without unnamed files fall through to a named one.
#endif
  std::string path = folder + "/quillet-pages-XXXXXX";
  const int named = ::mkostemp(path.data(), O_CLOEXEC);
  if (named >= 0) ::unlink(path.c_str());
  return named;
}

}  // namespace

int OpenUnnamedTemporaryFile(const std::string& purpose) {
  const std::string folder = TemporaryFolder();
  const int fd = OpenUnnamed(folder);
  if (fd < 0)
    throw FileOpenError("Cannot make a temporary file for " + purpose + " in \"" + folder + "\". " +
                        std::strerror(errno));
  return fd;
}

std::shared_ptr<SpillFile> SpillFile::Shared() {
  // One file for all holders, so pages spilled by any list share it; it goes
  // when the last of them does.
  static std::mutex guard;
  static std::weak_ptr<SpillFile> current;
  const std::lock_guard lock(guard);
  if (auto file = current.lock()) return file;
  const int fd = OpenUnnamedTemporaryFile("prepared pages");
  std::shared_ptr<SpillFile> file(new SpillFile(fd, TemporaryFolder()));
  current = file;
  return file;
}

SpillFile::~SpillFile() {
  ::close(fd_);
}

std::uint64_t SpillFile::Append(const void* bytes, std::size_t size) {
  const std::uint64_t at = size_;
  const auto* p = static_cast<const char*>(bytes);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd_, p + done, size - done, off_t(at + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : ENOSPC;
      // A half-written tail is never pointed at: the next append overwrites it.
      throw StreamWriteError("Cannot move prepared pages to a temporary file in \"" + folder_ +
                             "\". " + std::strerror(error));
    }
    done += std::size_t(n);
  }
  size_ += size;
  return at;
}

void SpillFile::ReadAt(std::uint64_t offset, void* bytes, std::size_t size) const {
  auto* p = static_cast<char*>(bytes);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd_, p + done, size - done, off_t(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      throw StreamReadError("Cannot read prepared pages back from their temporary file in \"" +
                            folder_ + "\". " + (n < 0 ? std::strerror(errno) : "It ends early."));
    done += std::size_t(n);
  }
}

}  // namespace quillet
