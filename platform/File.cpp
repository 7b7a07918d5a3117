#include "platform/File.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace platform {
namespace {

std::atomic<std::uint64_t> g_writes{0};
std::atomic<std::uint64_t> g_faultAt{0};
std::atomic<int> g_fault{static_cast<int>(WriteFault::None)};

[[noreturn]] void Fail(const std::filesystem::path& path, const char* what, int code) {
  throw FileError(path.filename().string() + ": " + what + ": " + std::strerror(code), code);
}

}  // namespace

void SetWriteFault(WriteFault fault, std::uint64_t nth) {
  g_writes = 0;
  g_faultAt = nth;
  g_fault = static_cast<int>(fault);
}

std::uint64_t WritesSoFar() {
  return g_writes;
}

File::File(const std::filesystem::path& path, FileMode mode) : path_(path) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case FileMode::Read: flags |= O_RDONLY; break;
    case FileMode::ReadWrite: flags |= O_RDWR; break;
    case FileMode::ReadWriteCreate: flags |= O_RDWR | O_CREAT; break;
  }
  do {
    fd_ = ::open(path.c_str(), flags, 0644);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) Fail(path, "open", errno);
  struct stat st {};
  if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    int code = errno ? errno : EINVAL;
    Close();
    Fail(path, "open", code);
  }
}

File::~File() {
  Close();
}

File::File(File&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) {
  other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    path_ = std::move(other.path_);
    other.fd_ = -1;
  }
  return *this;
}

void File::Close() {
  if (fd_ >= 0) ::close(fd_);  // closing releases this file's locks
  fd_ = -1;
}

std::uint64_t File::Size() const {
  struct stat st {};
  if (fstat(fd_, &st) != 0) Fail(path_, "stat", errno);
  return static_cast<std::uint64_t>(st.st_size);
}

std::int64_t File::ModifiedNs() const {
  struct stat st {};
  if (fstat(fd_, &st) != 0) Fail(path_, "stat", errno);
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool File::ReadAt(std::uint64_t offset, void* data, std::size_t size) const {
  auto* p = static_cast<std::uint8_t*>(data);
  while (size > 0) {
    ssize_t n = ::pread(fd_, p, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(path_, "read", errno);
    if (n == 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
    offset += static_cast<std::uint64_t>(n);
  }
  return true;
}

void File::CountWrite() {
  const std::uint64_t n = ++g_writes;
  const auto fault = static_cast<WriteFault>(g_fault.load());
  if (fault == WriteFault::None || n != g_faultAt) return;
  if (fault == WriteFault::FailNoSpace)
    throw FileError(path_.filename().string() + ": write: " + std::strerror(ENOSPC), ENOSPC);
  if (fault == WriteFault::FailIo)
    throw FileError(path_.filename().string() + ": write: " + std::strerror(EIO), EIO);
}

void File::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  CountWrite();
  const auto* p = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    ssize_t n = ::pwrite(fd_, p, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(path_, "write", errno);
    if (n == 0) Fail(path_, "write", ENOSPC);
    p += n;
    size -= static_cast<std::size_t>(n);
    offset += static_cast<std::uint64_t>(n);
  }
  const auto fault = static_cast<WriteFault>(g_fault.load());
  if (g_writes == g_faultAt && fault == WriteFault::Kill) ::kill(::getpid(), SIGKILL);
  if (g_writes == g_faultAt && fault == WriteFault::Exit) ::_exit(0);
}

void File::Truncate(std::uint64_t size) {
  CountWrite();
  int rc;
  do {
    rc = ::ftruncate(fd_, static_cast<off_t>(size));
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) Fail(path_, "truncate", errno);
  const auto fault = static_cast<WriteFault>(g_fault.load());
  if (g_writes == g_faultAt && fault == WriteFault::Kill) ::kill(::getpid(), SIGKILL);
  if (g_writes == g_faultAt && fault == WriteFault::Exit) ::_exit(0);
}

void File::Sync() {
  int rc;
  do {
    rc = ::fsync(fd_);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) Fail(path_, "sync", errno);
}

void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) Fail(folder, "open", errno);
  int rc;
  do {
    rc = ::fsync(fd);
  } while (rc != 0 && errno == EINTR);
  const int code = errno;
  ::close(fd);
  if (rc != 0 && code != EINVAL) Fail(folder, "sync", code);
}

bool File::Lock(std::uint64_t offset, LockKind kind, int waitMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    struct flock fl {};
    fl.l_type = kind == LockKind::Shared ? F_RDLCK : F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = 1;
#ifdef F_OFD_SETLK
    int rc = fcntl(fd_, F_OFD_SETLK, &fl);
#else
    int rc = fcntl(fd_, F_SETLK, &fl);
#endif
    if (rc == 0) return true;
    if (errno == EINTR) continue;
    if ((errno != EACCES && errno != EAGAIN) || std::chrono::steady_clock::now() >= deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void File::Unlock(std::uint64_t offset) {
  struct flock fl {};
  fl.l_type = F_UNLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = static_cast<off_t>(offset);
  fl.l_len = 1;
#ifdef F_OFD_SETLK
  (void)fcntl(fd_, F_OFD_SETLK, &fl);
#else
  (void)fcntl(fd_, F_SETLK, &fl);
#endif
}

}  // namespace platform
