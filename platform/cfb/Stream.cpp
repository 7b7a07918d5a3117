#include "platform/cfb/Stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <string>

namespace platform::cfb {

std::uint64_t Stream::Seek(std::int64_t offset, SeekOrigin origin) {
  const std::int64_t base = origin == SeekOrigin::Begin ? 0 : static_cast<std::int64_t>(position_);
  if (offset < 0 && -offset > base) throw CfbError("Seek before the start of the stream");
  if (offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset)
    throw CfbError("Seek past the largest stream position");
  position_ = static_cast<std::uint64_t>(base + offset);
  return position_;
}

RandomAccessFile::RandomAccessFile(const std::filesystem::path& path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) throw CfbError("Cannot open file " + path.string() + ": " + std::strerror(errno));
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    throw CfbError("Cannot open file " + path.string() + ": not a regular file");
  }
  size_ = static_cast<std::uint64_t>(st.st_size);
}

RandomAccessFile::~RandomAccessFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t RandomAccessFile::ReadAt(std::uint64_t offset, void* dst, std::size_t n) const {
  if (offset >= size_) return 0;
  if (n > size_ - offset) n = static_cast<std::size_t>(size_ - offset);
  std::size_t done = 0;
  auto* out = static_cast<char*>(dst);
  while (done < n) {
    const ssize_t got = ::pread(fd_, out + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      throw CfbError(std::string("Read error: ") + std::strerror(errno));
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

FileStream::FileStream(const std::filesystem::path& path) : file_(path) {
  size_ = file_.Size();
}

std::size_t FileStream::Read(void* dst, std::size_t n) {
  const std::size_t got = file_.ReadAt(position_, dst, n);
  position_ += got;
  return got;
}

}  // namespace platform::cfb
