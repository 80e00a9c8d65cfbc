// OutputFile: where a written file goes, without the reader of the old one
// ever seeing half of the new one and without harm to what the path names.
//
// - A regular file (or none yet) is written to a temporary beside it,
//   created exclusively with mode 0600, flushed to the disk and renamed
//   over the target only by Commit. The new file keeps the old one's mode
//   (and owner, where the system lets it); a new file gets 0666 less the
//   umask. A symbolic link is followed: its final target is replaced and
//   the link stays.
// - Anything else (a FIFO, a character device such as /dev/null, or
//   /dev/stdout) is written directly and never replaced.
// - A temporary not committed is removed when the object goes, and also
//   when the program is ended by SIGINT, SIGTERM or SIGHUP once
//   RemoveTemporariesOnSignals has been called.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace quillet {

class OutputFile {
 public:
  // Opens the temporary or the target; raises FileOpenError naming `path`
  // with the system's reason (a folder is called a folder).
  explicit OutputFile(const std::string& path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // The open file to write; it stays owned by this object.
  int Descriptor() const { return fd_; }
  // Whether the bytes go straight to the target, which then cannot seek.
  bool Direct() const { return direct_; }
  const std::string& Path() const { return path_; }

  // Flushes the bytes to the disk, gives the mode and renames the temporary
  // over the target. Raises StreamWriteError naming the path with the
  // system's reason; the temporary is then removed and the old file kept.
  void Commit();
  // Commit's first half: flushed, given its mode and closed, not yet
  // renamed (a set of many files keeps no descriptor open per file).
  void Finish();

 private:
  [[noreturn]] void Fail(int error);
  void Discard();

  std::string path_;    // as asked for, for messages
  std::string target_;  // the file replaced: `path_` with links followed
  std::string temp_;    // empty when writing directly
  int fd_ = -1;
  int slot_ = -1;  // where a signal handler finds the temporary
  bool direct_ = false;
  bool existed_ = false;
  unsigned oldMode_ = 0;
  unsigned oldOwner_ = 0, oldGroup_ = 0;
};

// Several files that stand or fall together (the pages of a set): each is
// written to its temporary; CommitAll renames them all only when every one
// was written, and a failure before that removes every temporary.
class OutputFileSet {
 public:
  OutputFile& Add(const std::string& path);
  // Raises StreamWriteError from the first rename that fails.
  void CommitAll();

 private:
  std::vector<std::unique_ptr<OutputFile>> files_;
};

// The bytes of a pipe (or anything read once only) copied into a temporary
// file, so that they can be read again from the start; removed when the
// object goes, or by the signals below. Raises FileOpenError naming
// `source` and the system's reason.
class ScratchCopy {
 public:
  explicit ScratchCopy(const std::string& source);
  ~ScratchCopy();
  ScratchCopy(const ScratchCopy&) = delete;
  ScratchCopy& operator=(const ScratchCopy&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int slot_ = -1;
};

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove every
// temporary not yet committed, then end the program by the same signal
// (exit status 130, 143, 129 in a shell).
void RemoveTemporariesOnSignals();

// Whether two paths name the same existing regular file (device and inode,
// links followed). A terminal or pipe both read and written is no conflict.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace quillet
