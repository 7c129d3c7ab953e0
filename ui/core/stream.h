// Byte streams in the runtime's model: a position, a size, reads that may
// return fewer bytes, and ReadBuffer/WriteBuffer that raise when they cannot
// move the whole count.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "exceptions.h"

namespace plat {

enum class SeekOrigin { Beginning = 0, Current = 1, End = 2 };

class TStream {
 public:
  virtual ~TStream() = default;
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(int64_t pos) { Seek(pos, SeekOrigin::Beginning); }
  virtual int64_t Size();

  // Raise EReadError "Stream read error" / EWriteError "Stream write error".
  void ReadBuffer(void* buffer, int32_t count);
  void WriteBuffer(const void* buffer, int32_t count);
  // Copies count bytes from source (count 0 = the whole source from its start).
  int64_t CopyFrom(TStream& source, int64_t count);

  int32_t ReadInt32();
  uint8_t ReadByte();
  void WriteInt32(int32_t v);
  void WriteByte(uint8_t v);
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> data) : data_(std::move(data)) {}
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }

  void Clear() { data_.clear(); pos_ = 0; }
  void SetSize(int64_t size) { data_.resize(static_cast<size_t>(size)); if (pos_ > size) pos_ = size; }
  const std::vector<uint8_t>& Data() const { return data_; }
  std::vector<uint8_t>& Data() { return data_; }
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;

 private:
  std::vector<uint8_t> data_;
  int64_t pos_ = 0;
};

// A read-only view over bytes owned elsewhere.
class TBytesStream : public TStream {
 public:
  TBytesStream(const uint8_t* data, size_t size) : data_(data), size_(static_cast<int64_t>(size)) {}
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void*, int32_t) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return size_; }

 private:
  const uint8_t* data_;
  int64_t size_;
  int64_t pos_ = 0;
};

class TFileStream : public TStream {
 public:
  enum Mode { fmOpenRead, fmCreate, fmOpenReadWrite };
  // Raises EFOpenError / EFCreateError: Cannot open file "%s". %s
  TFileStream(const std::string& path, Mode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;

 private:
  std::FILE* f_ = nullptr;
};

std::vector<uint8_t> ReadWholeFile(const std::string& path);  // raises EFOpenError

}  // namespace plat
