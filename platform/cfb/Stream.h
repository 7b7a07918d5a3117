#pragma once
// A readable, seekable byte stream: a stream inside a compound file or a plain file. The
// workbook reader reads through this interface whichever kind of file it opened.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace platform::cfb {

// Failures of compound-file access and of plain file reads.
class CfbError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class SeekOrigin { Begin, Current };

class Stream {
 public:
  virtual ~Stream() = default;
  // Reads up to n bytes at the current position; returns the count read (0 at the end).
  virtual std::size_t Read(void* dst, std::size_t n) = 0;
  // Moves the position; a position past the end is allowed (reads then give 0), one before the
  // start raises CfbError. Returns the new position.
  std::uint64_t Seek(std::int64_t offset, SeekOrigin origin);
  std::uint64_t Position() const { return position_; }
  std::uint64_t Size() const { return size_; }

 protected:
  std::uint64_t position_ = 0;
  std::uint64_t size_ = 0;
};

// A file opened read-only; reads go straight to the operating system at given offsets.
class RandomAccessFile {
 public:
  explicit RandomAccessFile(const std::filesystem::path& path);  // raises CfbError
  ~RandomAccessFile();
  RandomAccessFile(const RandomAccessFile&) = delete;
  RandomAccessFile& operator=(const RandomAccessFile&) = delete;
  std::uint64_t Size() const { return size_; }
  // Reads up to n bytes at offset; returns the count read (short only at the end of the file).
  std::size_t ReadAt(std::uint64_t offset, void* dst, std::size_t n) const;

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

// A plain file as a stream.
class FileStream final : public Stream {
 public:
  explicit FileStream(const std::filesystem::path& path);  // raises CfbError
  std::size_t Read(void* dst, std::size_t n) override;

 private:
  RandomAccessFile file_;
};

}  // namespace platform::cfb
