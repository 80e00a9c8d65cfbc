// Byte streams with little-endian readers and writers.
//
// Every read is bounds-checked: asking for more bytes than are left raises
// StreamReadError and leaves the position where it was. Readers of outside
// bytes check counts against Remaining() before they allocate.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/output_file.h"

namespace quillet {

class Stream {
 public:
  virtual ~Stream() = default;

  virtual std::uint64_t Position() const = 0;
  virtual std::uint64_t Size() const = 0;
  // Positions beyond the end are refused with StreamReadError.
  virtual void Seek(std::uint64_t pos) = 0;
  // Reads exactly n bytes or throws StreamReadError.
  virtual void ReadExact(void* buffer, std::size_t n) = 0;
  // Writes n bytes at the position (growing the stream) or throws StreamWriteError.
  virtual void Write(const void* buffer, std::size_t n) = 0;

  std::uint64_t Remaining() const { return Size() - Position(); }
  bool AtEnd() const { return Position() >= Size(); }

  std::uint8_t ReadU8() {
    std::uint8_t b[1];
    ReadField(b);
    return b[0];
  }
  std::int8_t ReadI8() { return static_cast<std::int8_t>(ReadU8()); }
  std::uint16_t ReadU16() {
    std::uint8_t b[2];
    ReadField(b);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
  }
  std::int16_t ReadI16() { return static_cast<std::int16_t>(ReadU16()); }
  std::uint32_t ReadU32() {
    std::uint8_t b[4];
    ReadField(b);
    return std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
           (std::uint32_t(b[3]) << 24);
  }
  std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }
  std::uint64_t ReadU64();
  float ReadF32();
  double ReadF64();
  std::string ReadBytes(std::size_t n);  // checks n against Remaining() first

  void WriteU8(std::uint8_t v) { Write(&v, 1); }
  void WriteU16(std::uint16_t v);
  void WriteI16(std::int16_t v) { WriteU16(static_cast<std::uint16_t>(v)); }
  void WriteU32(std::uint32_t v);
  void WriteI32(std::int32_t v) { WriteU32(static_cast<std::uint32_t>(v)); }
  void WriteU64(std::uint64_t v);
  void WriteF32(float v);
  void WriteF64(double v);
  void WriteBytes(std::string_view bytes) { Write(bytes.data(), bytes.size()); }

 protected:
  // A stream whose bytes lie in memory names them and its position here:
  // fixed-size fields are then copied from them directly rather than through
  // a ReadExact call each (rebuilding a page reads thousands of them).
  void ReadFieldsFrom(const std::vector<std::uint8_t>* bytes, std::size_t* pos) {
    fieldBytes_ = bytes;
    fieldPos_ = pos;
  }

 private:
  template <std::size_t N>
  void ReadField(std::uint8_t (&b)[N]) {
    if (!fieldBytes_) return ReadExact(b, N);
    if (N > fieldBytes_->size() - *fieldPos_) ThrowShortRead();
    std::memcpy(b, fieldBytes_->data() + *fieldPos_, N);
    *fieldPos_ += N;
  }
  [[noreturn]] static void ThrowShortRead();

  const std::vector<std::uint8_t>* fieldBytes_ = nullptr;
  std::size_t* fieldPos_ = nullptr;
};

// Its fixed-size fields are read straight from its bytes: a class that
// overrides ReadExact sees only the reads of byte runs.
class MemoryStream : public Stream {
 public:
  MemoryStream() { ReadFieldsFrom(&data_, &pos_); }
  explicit MemoryStream(std::vector<std::uint8_t> bytes) : data_(std::move(bytes)) {
    ReadFieldsFrom(&data_, &pos_);
  }
  explicit MemoryStream(std::string_view bytes) : data_(bytes.begin(), bytes.end()) {
    ReadFieldsFrom(&data_, &pos_);
  }
  // Copies and moves take the bytes and position; each stream reads its own.
  MemoryStream(const MemoryStream& other) : Stream(), data_(other.data_), pos_(other.pos_) {
    ReadFieldsFrom(&data_, &pos_);
  }
  MemoryStream(MemoryStream&& other) noexcept
      : Stream(), data_(std::move(other.data_)), pos_(other.pos_) {
    ReadFieldsFrom(&data_, &pos_);
  }
  MemoryStream& operator=(const MemoryStream& other) {
    data_ = other.data_;
    pos_ = other.pos_;
    return *this;
  }
  MemoryStream& operator=(MemoryStream&& other) noexcept {
    data_ = std::move(other.data_);
    pos_ = other.pos_;
    return *this;
  }

  std::uint64_t Position() const override { return pos_; }
  std::uint64_t Size() const override { return data_.size(); }
  void Seek(std::uint64_t pos) override;
  void ReadExact(void* buffer, std::size_t n) override;
  void Write(const void* buffer, std::size_t n) override;

  const std::vector<std::uint8_t>& Bytes() const { return data_; }
  std::string BytesAsString() const { return {data_.begin(), data_.end()}; }
  void Clear() {
    data_.clear();
    pos_ = 0;
  }
  // Drops the bytes from `size` on; the position moves back to the end when
  // it lay past it.
  void Truncate(std::size_t size) {
    if (size < data_.size()) data_.resize(size);
    if (pos_ > data_.size()) pos_ = data_.size();
  }
  // Gives back the room kept for growth (a finished stream holds its bytes only).
  void ShrinkToFit() { data_.shrink_to_fit(); }

 private:
  std::vector<std::uint8_t> data_;
  std::size_t pos_ = 0;
};

// A file opened for reading, or created (truncated) for writing.
class FileStream : public Stream {
 public:
  enum class Mode { Read, Create };
  // Throws FileOpenError naming the path (or `shownName`, the file the user
  // asked for when `path` is a temporary beside it) and the system's reason
  // when the file cannot be opened. Write and Close failures name it too.
  FileStream(const std::string& path, Mode mode, const std::string& shownName = {});
  // Writes into the open file `fd` (a copy of it: the caller keeps `fd`).
  FileStream(int fd, const std::string& shownName);
  ~FileStream() override;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  std::uint64_t Position() const override;
  std::uint64_t Size() const override { return size_; }
  void Seek(std::uint64_t pos) override;
  void ReadExact(void* buffer, std::size_t n) override;
  void Write(const void* buffer, std::size_t n) override;
  // Flushes and closes; throws StreamWriteError when the data did not reach the file.
  void Close();

 private:
  std::FILE* file_ = nullptr;
  std::uint64_t size_ = 0;
  std::string name_;  // the name errors give
};

// Writes a file through a temporary beside it, renamed over the target only
// when `write` returned normally: a failed save never destroys the old file.
// A target that is no regular file (a FIFO, /dev/null) is written directly,
// from bytes gathered in memory first, as writers may seek back. See
// output_file.h. Throws what `write` threw, or FileOpenError / StreamWriteError.
template <typename Fn>
void WriteFileAtomically(const std::string& path, Fn&& write);

void RemoveFileQuietly(const std::string& path);

// Writes every byte of `bytes` to `file`, or raises StreamWriteError.
void WriteAllTo(OutputFile& file, const MemoryStream& bytes);

template <typename Fn>
void WriteFileAtomically(const std::string& path, Fn&& write) {
  OutputFile file(path);
  if (file.Direct()) {
    MemoryStream bytes;
    write(static_cast<Stream&>(bytes));
    WriteAllTo(file, bytes);
  } else {
    FileStream out(file.Descriptor(), path);
    write(static_cast<Stream&>(out));
    out.Close();
  }
  file.Commit();
}

}  // namespace quillet
