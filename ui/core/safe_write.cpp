#include "safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include "textfile.h"
#include "utf.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace plat {

namespace fs = std::filesystem;

namespace {

fs::path ToPath(const std::string& utf8) {
#ifdef _WIN32
  return fs::path(Utf8ToWide(utf8));
#else
  return fs::path(utf8);
#endif
}

int OpenExclusive(const std::string& path) {
#ifdef _WIN32
  return _wopen(Utf8ToWide(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
}

void ClearCrtError() {
  errno = 0;
#ifdef _WIN32
  _doserrno = 0;
#endif
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string target) : target_(std::move(target)) {
  // A random name in the target's own folder, so the final rename stays on
  // one volume and never meets a file of another writer.
  std::random_device rd;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(rd()));
    temp_ = target_ + suffix;
    ClearCrtError();
    fd_ = OpenExclusive(temp_);
    if (fd_ >= 0) return;
    if (errno != EEXIST) break;
  }
  const std::error_code ec = LastCrtError();
  temp_.clear();
  RaiseIoError(ec);
}

AtomicFileWriter::~AtomicFileWriter() {
  if (!done_) Discard();
}

void AtomicFileWriter::Discard() noexcept {
  if (fd_ >= 0) {
#ifdef _WIN32
    _close(fd_);
#else
    ::close(fd_);
#endif
    fd_ = -1;
  }
  if (!temp_.empty()) {
    std::error_code ignored;
    fs::remove(ToPath(temp_), ignored);
  }
  done_ = true;
}

void AtomicFileWriter::Write(std::string_view bytes) {
  if (fd_ < 0) RaiseInOutError(103);  // file not open
  while (!bytes.empty()) {
    ClearCrtError();
    const unsigned chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<unsigned>(bytes.size());
#ifdef _WIN32
    const int n = _write(fd_, bytes.data(), chunk);
#else
    const ssize_t n = ::write(fd_, bytes.data(), chunk);
#endif
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const std::error_code ec = n < 0 ? LastCrtError() : std::error_code();
      Discard();
      if (!ec) RaiseInOutError(101);  // disk write error
      RaiseIoError(ec);
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

void AtomicFileWriter::Commit() {
  if (fd_ < 0) RaiseInOutError(103);
  // The data must be on disk before the rename makes it the file: otherwise a
  // power cut right after could leave an empty file under the target's name.
  ClearCrtError();
#ifdef _WIN32
  const bool synced = _commit(fd_) == 0;
#else
  const bool synced = ::fsync(fd_) == 0;
#endif
  std::error_code ec;
  if (!synced) ec = LastCrtError();
  ClearCrtError();
#ifdef _WIN32
  const bool closed = _close(fd_) == 0;
#else
  const bool closed = ::close(fd_) == 0;
#endif
  fd_ = -1;
  if (!closed && !ec) ec = LastCrtError();
  if (ec) {
    Discard();
    RaiseIoError(ec);
  }
  // POSIX rename and MoveFileEx with replace both swap the name in one step.
  fs::rename(ToPath(temp_), ToPath(target_), ec);
  if (ec) {
    Discard();
    RaiseIoError(ec);
  }
  done_ = true;
}

void WriteFileAtomically(const std::string& target, std::string_view bytes) {
  AtomicFileWriter w(target);
  w.Write(bytes);
  w.Commit();
}

}  // namespace plat
