// SpillFile: an anonymous temporary file that bytes are moved to when they
// would take too much memory, and read back from by place.
//
// The file has no name from the moment it exists (it is made unlinked, or
// unlinked at once), so however the process ends - Ctrl-C, a crash, a kill -
// it leaves nothing behind. The file lives as long as a holder of it does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quillet {

// Opens a new read-write file without a name in the temporary folder ($TMPDIR,
// else /tmp) and returns its descriptor, which the caller closes.
// FileOpenError naming the folder and `purpose` when none can be made.
int OpenUnnamedTemporaryFile(const std::string& purpose);

class SpillFile {
 public:
  // The file shared by the holders that live at the moment, made in the
  // temporary folder ($TMPDIR, else /tmp) when none does. FileOpenError
  // naming the folder when it cannot be made.
  static std::shared_ptr<SpillFile> Shared();

  ~SpillFile();
  SpillFile(const SpillFile&) = delete;
  SpillFile& operator=(const SpillFile&) = delete;

  // Appends `size` bytes and returns the place they start at. Raises
  // StreamWriteError with the system's reason (a full disk, say).
  std::uint64_t Append(const void* bytes, std::size_t size);
  // Reads `size` bytes from `offset`; StreamReadError when they are not all
  // there.
  void ReadAt(std::uint64_t offset, void* bytes, std::size_t size) const;

  std::uint64_t Size() const { return size_; }
  const std::string& Folder() const { return folder_; }

 private:
  SpillFile(int fd, std::string folder) : fd_(fd), folder_(std::move(folder)) {}

  int fd_;
  std::string folder_;
  std::uint64_t size_ = 0;
};

}  // namespace quillet
