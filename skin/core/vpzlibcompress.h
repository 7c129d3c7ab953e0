// Stream wrappers over zlib: a compressing writer and an inflating reader that
// move data through a 4096-byte buffer inside the wrapper.
#pragma once
#include <zlib.h>

#include <cstdint>
#include <functional>

#include "ui/core/exceptions.h"
#include "ui/core/stream.h"

namespace vp {

class EZlibError : public plat::Exception { using plat::Exception::Exception; };
class ECompressionError : public EZlibError { using EZlibError::EZlibError; };
class EDecompressionError : public EZlibError { using EZlibError::EZlibError; };

enum class TCompressionLevel { clNone, clFastest, clDefault, clMax };

class TCustomZlibStream : public plat::TStream {
 public:
  using TProgressEvent = std::function<void(TCustomZlibStream& sender)>;
  TProgressEvent OnProgress;

  TCustomZlibStream(const TCustomZlibStream&) = delete;
  TCustomZlibStream& operator=(const TCustomZlibStream&) = delete;

 protected:
  explicit TCustomZlibStream(plat::TStream& strm);
  void Progress();

  static constexpr int kBufferSize = 4096;
  plat::TStream& FStrm;  // not owned
  int32_t FStrmPos;      // where this wrapper last left FStrm
  z_stream FZRec{};
  uint8_t FBuffer[kBufferSize];
};

class TCompressionStream : public TCustomZlibStream {
 public:
  TCompressionStream(TCompressionLevel level, plat::TStream& dest);
  // Finishes the zlib stream if Finish was not called; errors are dropped
  // here, so callers that care call Finish first.
  ~TCompressionStream() override;

  int32_t Read(void* buffer, int32_t count) override;  // ECompressionError
  int32_t Write(const void* buffer, int32_t count) override;
  // Only Seek(0, Current): the number of input bytes consumed so far.
  int64_t Seek(int64_t offset, plat::SeekOrigin origin) override;
  // Writes the end of the zlib stream to the target; idempotent.
  void Finish();
  double CompressionRate();

 private:
  bool finished_ = false;
};

class TDecompressionStream : public TCustomZlibStream {
 public:
  explicit TDecompressionStream(plat::TStream& source);
  ~TDecompressionStream() override;

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;  // EDecompressionError
  // Forward only (by reading and discarding), or back to the start with
  // Seek(0, Beginning). Returns the number of bytes delivered so far.
  int64_t Seek(int64_t offset, plat::SeekOrigin origin) override;

 private:
  int64_t sourceStart_;
  bool ended_ = false;  // the zlib stream's end was reached
};

// Compresses the whole source (from position 0) into target at level 9.
void CompressStream(plat::TStream& source, plat::TStream& target);
// Inflates the whole source (from position 0) into target.
void DecompressStream(plat::TStream& target, plat::TStream& source);

// Convenience over CompressStream / DecompressStream for byte buffers.
std::vector<uint8_t> CompressBytes(const uint8_t* data, size_t size);
std::vector<uint8_t> DecompressBytes(const uint8_t* data, size_t size);

}  // namespace vp
