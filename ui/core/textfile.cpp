#include "textfile.h"

#include <cerrno>
#include <cstdlib>

#include "safe_write.h"
#include "utf.h"

namespace plat {

namespace {
constexpr int kEndOfText = 0x1A;
constexpr size_t kReadChunk = 4096;
constexpr size_t kWriteChunk = 64 * 1024;
constexpr size_t kMaxNumberToken = 32;
constexpr int ioDiskRead = 100;
constexpr int ioNotOpen = 103;
constexpr int ioNotOpenForInput = 104;
constexpr int ioNotOpenForOutput = 105;
}  // namespace

int IoErrorCodeFor(const std::error_code& ec) {
#ifdef _WIN32
  // Windows codes are the runtime's codes already (2, 3, 5, 32, ...).
  if (ec.category() == std::system_category()) return ec.value();
#endif
  switch (ec.value()) {
    case ENOENT: return ioFileNotFound;
    case EACCES: case EPERM: case EISDIR: case EROFS: return ioAccessDenied;
    default: return ec.value();
  }
}

void RaiseIoError(const std::error_code& ec) { RaiseInOutError(IoErrorCodeFor(ec)); }

std::error_code LastCrtError() {
#ifdef _WIN32
  if (_doserrno != 0) return {static_cast<int>(_doserrno), std::system_category()};
#endif
  return {errno, std::generic_category()};
}

bool ParseInt32(std::string_view t, int32_t& value) {
  size_t i = 0;
  const size_t n = t.size();
  bool negative = false;
  if (i < n && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  int base = 10;
  if (i < n && (t[i] == '$' || t[i] == 'x' || t[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < n && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == n) return false;
  uint64_t magnitude = 0;
  for (; i < n; ++i) {
    const char c = t[i];
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    if (magnitude > 0x80000000u) return false;
  }
  if (negative) {
    value = static_cast<int32_t>(-static_cast<int64_t>(magnitude));
  } else {
    if (magnitude > 0x7FFFFFFFu) return false;
    value = static_cast<int32_t>(magnitude);
  }
  return true;
}

std::string SingleLine(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\r' || c == '\n' || c == static_cast<char>(kEndOfText)) c = ' ';
  return out;
}

TextFile::TextFile() = default;
TextFile::TextFile(std::string path) : path_(std::move(path)) {}

TextFile::~TextFile() {
  if (in_) std::fclose(in_);
  // An unclosed output is dropped with its temporary file: the old file stays.
}

std::unique_ptr<TextFile> TextFile::FromBytes(std::string bytes) {
  auto f = std::make_unique<TextFile>();
  f->memory_ = true;
  f->buf_ = std::move(bytes);
  f->mode_ = Mode::Reading;
  return f;
}

void TextFile::Reset() {
  if (mode_ != Mode::Closed && !memory_) {
    if (in_) std::fclose(in_);
    in_ = nullptr;
    out_.reset();
    mode_ = Mode::Closed;
  }
  if (memory_) {
    pos_ = 0;
    ended_ = false;
    mode_ = Mode::Reading;
    return;
  }
  errno = 0;
#ifdef _WIN32
  _doserrno = 0;
  in_ = _wfopen(Utf8ToWide(path_).c_str(), L"rb");
#else
  in_ = std::fopen(path_.c_str(), "rb");
#endif
  if (!in_) RaiseIoError(LastCrtError());
  buf_.clear();
  pos_ = 0;
  ended_ = false;
  mode_ = Mode::Reading;
}

void TextFile::Rewrite() {
  if (memory_) RaiseInOutError(ioNotOpenForOutput);
  if (in_) std::fclose(in_);
  in_ = nullptr;
  out_.reset();
  mode_ = Mode::Closed;
  pending_.clear();
  out_ = std::make_unique<AtomicFileWriter>(path_);
  mode_ = Mode::Writing;
}

void TextFile::Close() {
  if (mode_ == Mode::Closed) RaiseInOutError(ioNotOpen);
  if (mode_ == Mode::Reading) {
    if (in_) std::fclose(in_);
    in_ = nullptr;
    mode_ = Mode::Closed;
    return;
  }
  // Writing: whatever happens, the file is closed afterwards.
  std::unique_ptr<AtomicFileWriter> out = std::move(out_);
  std::string pending = std::move(pending_);
  pending_.clear();
  mode_ = Mode::Closed;
  out->Write(pending);
  out->Commit();
}

void TextFile::RequireMode(Mode m) const {
  if (mode_ == m) return;
  if (mode_ == Mode::Closed) RaiseInOutError(ioNotOpen);
  RaiseInOutError(m == Mode::Reading ? ioNotOpenForInput : ioNotOpenForOutput);
}

bool TextFile::Refill() {
  if (memory_ || !in_) return false;
  buf_.resize(kReadChunk);
  errno = 0;
#ifdef _WIN32
  _doserrno = 0;
#endif
  const size_t n = std::fread(buf_.data(), 1, kReadChunk, in_);
  if (n == 0) {
    buf_.clear();
    pos_ = 0;
    if (std::ferror(in_)) {
      const std::error_code ec = LastCrtError();
      if (!ec) RaiseInOutError(ioDiskRead);
      RaiseIoError(ec);
    }
    return false;
  }
  buf_.resize(n);
  pos_ = 0;
  return true;
}

int TextFile::Peek() {
  if (ended_) return -1;
  if (pos_ >= buf_.size() && !Refill()) {
    ended_ = true;
    return -1;
  }
  const int c = static_cast<unsigned char>(buf_[pos_]);
  if (c == kEndOfText) {
    ended_ = true;
    return -1;
  }
  return c;
}

bool TextFile::Eof() {
  RequireMode(Mode::Reading);
  return Peek() < 0;
}

std::string TextFile::ReadLine() {
  RequireMode(Mode::Reading);
  std::string line;
  for (int c; (c = Peek()) >= 0;) {
    Advance();
    if (c == '\n') break;
    if (c == '\r') {
      if (Peek() == '\n') {
        Advance();
        break;
      }
      continue;  // a lone CR is not part of the text
    }
    line.push_back(static_cast<char>(c));
  }
  return line;
}

void TextFile::SkipLine() {
  RequireMode(Mode::Reading);
  for (int c; (c = Peek()) >= 0;) {
    Advance();
    if (c == '\n') break;
    if (c == '\r' && Peek() == '\n') {
      Advance();
      break;
    }
  }
}

int32_t TextFile::ReadInteger() {
  RequireMode(Mode::Reading);
  int c;
  while ((c = Peek()) >= 0 && c <= ' ') Advance();
  if (c < 0) return 0;
  std::string token;
  while ((c = Peek()) > ' ' && token.size() < kMaxNumberToken) {
    token.push_back(static_cast<char>(c));
    Advance();
  }
  int32_t value = 0;
  if (!ParseInt32(token, value)) RaiseInOutError(ioInvalidNumeric);
  return value;
}

void TextFile::Write(std::string_view bytes) {
  RequireMode(Mode::Writing);
  pending_.append(bytes);
  if (pending_.size() >= kWriteChunk) {
    try {
      out_->Write(pending_);
    } catch (...) {
      out_.reset();
      mode_ = Mode::Closed;
      pending_.clear();
      throw;
    }
    pending_.clear();
  }
}

void TextFile::WriteLine(std::string_view bytes) {
  Write(bytes);
  Write("\r\n");
}

}  // namespace plat
