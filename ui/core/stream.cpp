#include "stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "utf.h"

namespace plat {

int64_t TStream::Size() {
  const int64_t pos = Seek(0, SeekOrigin::Current);
  const int64_t end = Seek(0, SeekOrigin::End);
  Seek(pos, SeekOrigin::Beginning);
  return end;
}

void TStream::ReadBuffer(void* buffer, int32_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int32_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  int64_t left = count;
  std::vector<uint8_t> buf(static_cast<size_t>(std::min<int64_t>(left, 0xF000)) + 1);
  while (left > 0) {
    const int32_t n = static_cast<int32_t>(std::min<int64_t>(left, static_cast<int64_t>(buf.size())));
    source.ReadBuffer(buf.data(), n);
    WriteBuffer(buf.data(), n);
    left -= n;
  }
  return count;
}

int32_t TStream::ReadInt32() {
  uint8_t b[4];
  ReadBuffer(b, 4);
  return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                              (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
}

uint8_t TStream::ReadByte() {
  uint8_t b;
  ReadBuffer(&b, 1);
  return b;
}

void TStream::WriteInt32(int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  const uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
                        static_cast<uint8_t>(u >> 24)};
  WriteBuffer(b, 4);
}

void TStream::WriteByte(uint8_t v) { WriteBuffer(&v, 1); }

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
  if (count <= 0 || pos_ >= Size()) return 0;
  const int64_t n = std::min<int64_t>(count, Size() - pos_);
  std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(n));
  pos_ += n;
  return static_cast<int32_t>(n);
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  if (pos_ + count > Size()) data_.resize(static_cast<size_t>(pos_ + count));
  std::memcpy(data_.data() + pos_, buffer, static_cast<size_t>(count));
  pos_ += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  switch (origin) {
    case SeekOrigin::Beginning: pos_ = offset; break;
    case SeekOrigin::Current: pos_ += offset; break;
    case SeekOrigin::End: pos_ = Size() + offset; break;
  }
  if (pos_ < 0) pos_ = 0;
  return pos_;
}

void TMemoryStream::LoadFromFile(const std::string& path) {
  data_ = ReadWholeFile(path);
  pos_ = 0;
}

void TMemoryStream::SaveToFile(const std::string& path) const {
  TFileStream f(path, TFileStream::fmCreate);
  f.WriteBuffer(data_.data(), static_cast<int32_t>(data_.size()));
}

int32_t TBytesStream::Read(void* buffer, int32_t count) {
  if (count <= 0 || pos_ >= size_) return 0;
  const int64_t n = std::min<int64_t>(count, size_ - pos_);
  std::memcpy(buffer, data_ + pos_, static_cast<size_t>(n));
  pos_ += n;
  return static_cast<int32_t>(n);
}

int32_t TBytesStream::Write(const void*, int32_t) { throw EWriteError("Stream write error"); }

int64_t TBytesStream::Seek(int64_t offset, SeekOrigin origin) {
  switch (origin) {
    case SeekOrigin::Beginning: pos_ = offset; break;
    case SeekOrigin::Current: pos_ += offset; break;
    case SeekOrigin::End: pos_ = size_ + offset; break;
  }
  if (pos_ < 0) pos_ = 0;
  return pos_;
}

namespace {
std::string Reason(int err) {
  switch (err) {
    case ENOENT: return "The system cannot find the file specified";
    case EACCES: case EPERM: case EROFS: return "Access is denied";
    case EISDIR: return "Access is denied";
    default: return std::strerror(err);
  }
}
}  // namespace

TFileStream::TFileStream(const std::string& path, Mode mode) {
  const char* m = mode == fmOpenRead ? "rb" : mode == fmCreate ? "wb" : "r+b";
#ifdef _WIN32
  // Paths are UTF-8 inside the program; the C runtime wants them wide.
  const std::wstring wpath = Utf8ToWide(path);
  const std::wstring wmode(m, m + std::char_traits<char>::length(m));
  f_ = _wfopen(wpath.c_str(), wmode.c_str());
#else
  f_ = std::fopen(path.c_str(), m);
#endif
  if (!f_) {
    const std::string msg = (mode == fmCreate ? "Cannot create file \"" : "Cannot open file \"") + path +
                            "\". " + Reason(errno);
    if (mode == fmCreate) throw EFCreateError(msg);
    throw EFOpenError(msg);
  }
}

TFileStream::~TFileStream() {
  if (f_) std::fclose(f_);
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  return static_cast<int32_t>(std::fread(buffer, 1, static_cast<size_t>(count), f_));
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  return static_cast<int32_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), f_));
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
  const int whence = origin == SeekOrigin::Beginning ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
  std::fseek(f_, static_cast<long>(offset), whence);
  return std::ftell(f_);
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  TFileStream f(path, TFileStream::fmOpenRead);
  const int64_t size = f.Size();
  std::vector<uint8_t> data(static_cast<size_t>(size));
  if (size > 0) f.ReadBuffer(data.data(), static_cast<int32_t>(size));
  return data;
}

}  // namespace plat
