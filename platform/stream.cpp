#include "platform/stream.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/errors.h"

namespace quillet {

void Stream::ThrowShortRead() {
  throw StreamReadError();
}

std::uint64_t Stream::ReadU64() {
  std::uint64_t lo = ReadU32();
  std::uint64_t hi = ReadU32();
  return lo | (hi << 32);
}

float Stream::ReadF32() {
  std::uint32_t bits = ReadU32();
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

double Stream::ReadF64() {
  std::uint64_t bits = ReadU64();
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}

std::string Stream::ReadBytes(std::size_t n) {
  if (n > Remaining()) throw StreamReadError();
  std::string s(n, '\0');
  if (n) ReadExact(s.data(), n);
  return s;
}

void Stream::WriteU16(std::uint16_t v) {
  std::uint8_t b[2] = {std::uint8_t(v), std::uint8_t(v >> 8)};
  Write(b, 2);
}

void Stream::WriteU32(std::uint32_t v) {
  std::uint8_t b[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                       std::uint8_t(v >> 24)};
  Write(b, 4);
}

void Stream::WriteU64(std::uint64_t v) {
  WriteU32(std::uint32_t(v));
  WriteU32(std::uint32_t(v >> 32));
}

void Stream::WriteF32(float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, 4);
  WriteU32(bits);
}

void Stream::WriteF64(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, 8);
  WriteU64(bits);
}

void MemoryStream::Seek(std::uint64_t pos) {
  if (pos > data_.size()) throw StreamReadError();
  pos_ = static_cast<std::size_t>(pos);
}

void MemoryStream::ReadExact(void* buffer, std::size_t n) {
  if (n > data_.size() - pos_) throw StreamReadError();
  if (n) std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += n;
}

void MemoryStream::Write(const void* buffer, std::size_t n) {
  if (!n) return;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  if (pos_ == data_.size()) {
    // Appending, as records are written: no zero-filling before the copy.
    data_.insert(data_.end(), bytes, bytes + n);
  } else {
    if (pos_ + n > data_.size()) data_.resize(pos_ + n);
    std::memcpy(data_.data() + pos_, bytes, n);
  }
  pos_ += n;
}

FileStream::FileStream(const std::string& path, Mode mode, const std::string& shownName)
    : name_(shownName.empty() ? path : shownName) {
  file_ = std::fopen(path.c_str(), mode == Mode::Read ? "rb" : "wb");
  if (!file_) throw FileOpenError("Cannot open file \"" + name_ + "\". " + std::strerror(errno));
  if (mode == Mode::Read) {
    std::error_code ec;
    auto sz = std::filesystem::file_size(path, ec);
    size_ = ec ? 0 : sz;
  }
}

FileStream::FileStream(int fd, const std::string& shownName) : name_(shownName) {
  const int copy = ::dup(fd);
  file_ = copy < 0 ? nullptr : ::fdopen(copy, "wb");
  if (!file_) {
    const int error = errno;
    if (copy >= 0) ::close(copy);
    throw FileOpenError("Cannot open file \"" + name_ + "\". " + std::strerror(error));
  }
}

FileStream::~FileStream() {
  if (file_) std::fclose(file_);
}

std::uint64_t FileStream::Position() const {
  long p = file_ ? std::ftell(file_) : 0;
  return p < 0 ? 0 : static_cast<std::uint64_t>(p);
}

void FileStream::Seek(std::uint64_t pos) {
  if (!file_ || pos > size_ || std::fseek(file_, static_cast<long>(pos), SEEK_SET) != 0)
    throw StreamReadError();
}

void FileStream::ReadExact(void* buffer, std::size_t n) {
  if (!file_ || n > Remaining()) throw StreamReadError();
  if (n && std::fread(buffer, 1, n, file_) != n) throw StreamReadError();
}

void FileStream::Write(const void* buffer, std::size_t n) {
  if (!file_) throw StreamWriteError();
  if (n && std::fwrite(buffer, 1, n, file_) != n)
    throw StreamWriteError("Cannot write file \"" + name_ + "\". " + std::strerror(errno));
  size_ = std::max(size_, Position());
}

void FileStream::Close() {
  if (!file_) return;
  bool ok = std::fflush(file_) == 0;
  int error = ok ? 0 : errno;
  if (std::fclose(file_) != 0 && ok) {
    ok = false;
    error = errno;
  }
  file_ = nullptr;
  if (!ok) throw StreamWriteError("Cannot write file \"" + name_ + "\". " + std::strerror(error));
}

void WriteAllTo(OutputFile& file, const MemoryStream& bytes) {
  const std::uint8_t* at = bytes.Bytes().data();
  std::size_t left = bytes.Bytes().size();
  while (left > 0) {
    const ssize_t n = ::write(file.Descriptor(), at, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      throw StreamWriteError("Cannot write file \"" + file.Path() + "\". " +
                             std::strerror(n < 0 ? errno : EIO));
    at += n;
    left -= std::size_t(n);
  }
}

void RemoveFileQuietly(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

}  // namespace quillet
