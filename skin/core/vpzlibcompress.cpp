#include "vpzlibcompress.h"

#include <cstring>

namespace vp {

namespace {

constexpr const char* kInvalidOp = "Invalid stream operation";

int CCheck(int code) {
  if (code < 0) throw ECompressionError("error");
  return code;
}

int DCheck(int code) {
  // A preset dictionary is never supplied, so asking for one is an error too
  // (inflate would otherwise return Z_NEED_DICT forever without progress).
  if (code < 0 || code == Z_NEED_DICT) throw EDecompressionError("compression error");
  return code;
}

int ZLevel(TCompressionLevel level) {
  switch (level) {
    case TCompressionLevel::clNone: return Z_NO_COMPRESSION;
    case TCompressionLevel::clFastest: return Z_BEST_SPEED;
    case TCompressionLevel::clDefault: return Z_DEFAULT_COMPRESSION;
    case TCompressionLevel::clMax: return Z_BEST_COMPRESSION;
  }
  return Z_DEFAULT_COMPRESSION;
}

}  // namespace

TCustomZlibStream::TCustomZlibStream(plat::TStream& strm)
    : FStrm(strm), FStrmPos(static_cast<int32_t>(strm.Position())) {}

void TCustomZlibStream::Progress() {
  if (OnProgress) OnProgress(*this);
}

// ---- compressing ----

TCompressionStream::TCompressionStream(TCompressionLevel level, plat::TStream& dest) : TCustomZlibStream(dest) {
  FZRec.next_out = FBuffer;
  FZRec.avail_out = kBufferSize;
  CCheck(deflateInit(&FZRec, ZLevel(level)));
}

TCompressionStream::~TCompressionStream() {
  try {
    Finish();
  } catch (...) {
    // A destructor must not throw; the stream is ended below either way.
  }
  deflateEnd(&FZRec);
}

void TCompressionStream::Finish() {
  if (finished_) return;
  finished_ = true;
  FZRec.next_in = nullptr;
  FZRec.avail_in = 0;
  if (FStrm.Position() != FStrmPos) FStrm.SetPosition(FStrmPos);
  while (CCheck(deflate(&FZRec, Z_FINISH)) != Z_STREAM_END && FZRec.avail_out == 0) {
    FStrm.WriteBuffer(FBuffer, kBufferSize);
    FZRec.next_out = FBuffer;
    FZRec.avail_out = kBufferSize;
  }
  if (FZRec.avail_out < static_cast<uInt>(kBufferSize))
    FStrm.WriteBuffer(FBuffer, kBufferSize - static_cast<int32_t>(FZRec.avail_out));
  FZRec.next_out = FBuffer;
  FZRec.avail_out = kBufferSize;
  FStrmPos = static_cast<int32_t>(FStrm.Position());
}

int32_t TCompressionStream::Read(void*, int32_t) { throw ECompressionError(kInvalidOp); }

int32_t TCompressionStream::Write(const void* buffer, int32_t count) {
  if (finished_) throw ECompressionError(kInvalidOp);
  FZRec.next_in = static_cast<Bytef*>(const_cast<void*>(buffer));
  FZRec.avail_in = count > 0 ? static_cast<uInt>(count) : 0;
  if (FStrm.Position() != FStrmPos) FStrm.SetPosition(FStrmPos);
  while (FZRec.avail_in > 0) {
    CCheck(deflate(&FZRec, Z_NO_FLUSH));
    if (FZRec.avail_out == 0) {
      FStrm.WriteBuffer(FBuffer, kBufferSize);
      FZRec.next_out = FBuffer;
      FZRec.avail_out = kBufferSize;
      FStrmPos = static_cast<int32_t>(FStrm.Position());
      Progress();
    }
  }
  return count;
}

int64_t TCompressionStream::Seek(int64_t offset, plat::SeekOrigin origin) {
  if (offset == 0 && origin == plat::SeekOrigin::Current) return static_cast<int64_t>(FZRec.total_in);
  throw ECompressionError(kInvalidOp);
}

double TCompressionStream::CompressionRate() {
  if (FZRec.total_in == 0) return 0;
  return (1.0 - static_cast<double>(FZRec.total_out) / static_cast<double>(FZRec.total_in)) * 100.0;
}

// ---- inflating ----

TDecompressionStream::TDecompressionStream(plat::TStream& source)
    : TCustomZlibStream(source), sourceStart_(FStrmPos) {
  FZRec.next_in = FBuffer;
  FZRec.avail_in = 0;
  DCheck(inflateInit(&FZRec));
}

TDecompressionStream::~TDecompressionStream() { inflateEnd(&FZRec); }

int32_t TDecompressionStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  FZRec.next_out = static_cast<Bytef*>(buffer);
  FZRec.avail_out = static_cast<uInt>(count);
  if (FStrm.Position() != FStrmPos) FStrm.SetPosition(FStrmPos);
  while (FZRec.avail_out > 0) {
    // After the end of the zlib stream inflate makes no more progress, so
    // stop there instead of spinning on whatever bytes follow it.
    if (ended_) return count - static_cast<int32_t>(FZRec.avail_out);
    if (FZRec.avail_in == 0) {
      FZRec.avail_in = static_cast<uInt>(FStrm.Read(FBuffer, kBufferSize));
      if (FZRec.avail_in == 0) return count - static_cast<int32_t>(FZRec.avail_out);
      FZRec.next_in = FBuffer;
      FStrmPos = static_cast<int32_t>(FStrm.Position());
      Progress();
    }
    if (DCheck(inflate(&FZRec, Z_NO_FLUSH)) == Z_STREAM_END) ended_ = true;
  }
  return count;
}

int32_t TDecompressionStream::Write(const void*, int32_t) { throw EDecompressionError(kInvalidOp); }

int64_t TDecompressionStream::Seek(int64_t offset, plat::SeekOrigin origin) {
  const int64_t delivered = static_cast<int64_t>(FZRec.total_out);
  if (offset == 0 && origin == plat::SeekOrigin::Beginning) {
    DCheck(inflateReset(&FZRec));
    FZRec.next_in = FBuffer;
    FZRec.avail_in = 0;
    ended_ = false;
    // Back to where the zlib data began (position 0 for every caller here).
    FStrm.SetPosition(sourceStart_);
    FStrmPos = static_cast<int32_t>(sourceStart_);
  } else if ((offset >= 0 && origin == plat::SeekOrigin::Current) ||
             (offset - delivered > 0 && origin == plat::SeekOrigin::Beginning)) {
    if (origin == plat::SeekOrigin::Beginning) offset -= delivered;
    if (offset > 0) {
      uint8_t buf[kBufferSize];
      for (int64_t i = 0; i < offset / kBufferSize; ++i) ReadBuffer(buf, kBufferSize);
      ReadBuffer(buf, static_cast<int32_t>(offset % kBufferSize));
    }
  } else {
    throw EDecompressionError(kInvalidOp);
  }
  return static_cast<int64_t>(FZRec.total_out);
}

// ---- helpers ----

void CompressStream(plat::TStream& source, plat::TStream& target) {
  TCompressionStream zs(TCompressionLevel::clMax, target);
  source.SetPosition(0);
  const int64_t size = source.Size();
  if (size > 0) zs.CopyFrom(source, size);
  zs.Finish();
}

void DecompressStream(plat::TStream& target, plat::TStream& source) {
  source.SetPosition(0);
  TDecompressionStream zs(source);
  uint8_t buf[4096];
  for (;;) {
    const int32_t n = zs.Read(buf, sizeof buf);
    if (n == 0) break;
    target.WriteBuffer(buf, n);
  }
}

std::vector<uint8_t> CompressBytes(const uint8_t* data, size_t size) {
  plat::TBytesStream src(data, size);
  plat::TMemoryStream out;
  CompressStream(src, out);
  return std::move(out.Data());
}

std::vector<uint8_t> DecompressBytes(const uint8_t* data, size_t size) {
  plat::TBytesStream src(data, size);
  plat::TMemoryStream out;
  DecompressStream(out, src);
  return std::move(out.Data());
}

}  // namespace vp
