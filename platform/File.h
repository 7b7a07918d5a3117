#pragma once
// One open file: positioned reads and writes that finish the whole transfer (retrying when a
// signal interrupts them) or throw, plus size, truncation, byte-range locks and flushing to
// stable storage. Every write and truncation passes one counter, so a test can make the N-th
// of them fail or stop the process right after it.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace platform {

// A failed file operation; `code` is the errno value (0 when the failure has none).
class FileError : public std::runtime_error {
 public:
  FileError(const std::string& what, int code) : std::runtime_error(what), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

enum class FileMode { Read, ReadWrite, ReadWriteCreate };
enum class LockKind { Shared, Exclusive };

class File {
 public:
  File() = default;
  File(const std::filesystem::path& path, FileMode mode);  // throws FileError
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  const std::filesystem::path& Path() const { return path_; }
  void Close();

  std::uint64_t Size() const;
  std::int64_t ModifiedNs() const;  // last modification, in nanoseconds
  // Reads exactly `size` bytes at `offset`; false when the file ends first.
  bool ReadAt(std::uint64_t offset, void* data, std::size_t size) const;
  // Writes all `size` bytes at `offset` or throws (a short write is a failure).
  void WriteAt(std::uint64_t offset, const void* data, std::size_t size);
  void Truncate(std::uint64_t size);
  void Sync();

  // Byte-range locks owned by this open file (not by the process): another File of the same
  // path conflicts even inside one process. `waitMs` bounds the wait; false when not taken.
  bool Lock(std::uint64_t offset, LockKind kind, int waitMs);
  void Unlock(std::uint64_t offset);

 private:
  void CountWrite();

  int fd_ = -1;
  std::filesystem::path path_;
};

// Flushes a folder's entries (a file created or removed in it) to stable storage.
void SyncFolder(const std::filesystem::path& folder);

// Test hook over every write and truncation of every File.
enum class WriteFault {
  None,
  FailNoSpace,  // the N-th write fails with ENOSPC and changes nothing
  FailIo,       // ... with EIO
  Kill,         // the process gets SIGKILL right after the N-th write
  Exit,         // the process calls _exit(0) right after the N-th write
};
void SetWriteFault(WriteFault fault, std::uint64_t nth);  // counting restarts from 0
std::uint64_t WritesSoFar();

}  // namespace platform
