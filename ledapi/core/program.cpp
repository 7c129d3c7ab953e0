#include "ledapi/core/program.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace ledp {

namespace {

constexpr uint8_t kMagic[4] = {'L', 'P', 'R', 'G'};
constexpr uint8_t kProgramVersion = 1;

void PutRect(std::vector<uint8_t>& out, const plat::Rect& r) {
  for (int v : {r.Left, r.Top, r.Right, r.Bottom}) PutU16(out, static_cast<uint16_t>(static_cast<int16_t>(v)));
}

void PutPixels(std::vector<uint8_t>& out, const plat::Raster& r) {
  for (int y = 0; y < r.Height(); ++y) out.insert(out.end(), r.Row(y), r.Row(y) + 3 * r.Width());
}

class Reader {
 public:
  Reader(const uint8_t* d, size_t n) : d_(d), n_(n) {}
  bool Has(size_t k) const { return n_ - pos_ >= k; }
  bool U8(uint8_t& v) { if (!Has(1)) return false; v = d_[pos_++]; return true; }
  bool U16(uint16_t& v) { if (!Has(2)) return false; v = GetU16(d_ + pos_); pos_ += 2; return true; }
  bool U32(uint32_t& v) { if (!Has(4)) return false; v = GetU32(d_ + pos_); pos_ += 4; return true; }
  bool I16(int& v) { uint16_t u; if (!U16(u)) return false; v = static_cast<int16_t>(u); return true; }
  bool Bytes(const uint8_t*& p, size_t k) { if (!Has(k)) return false; p = d_ + pos_; pos_ += k; return true; }
  bool AtEnd() const { return pos_ == n_; }
 private:
  const uint8_t* d_;
  size_t n_, pos_ = 0;
};

bool ReadPixels(Reader& rd, plat::Raster& r, int w, int h) {
  const uint8_t* p;
  if (!rd.Bytes(p, size_t{3} * w * h)) return false;
  r = plat::Raster(w, h);
  for (int y = 0; y < h; ++y) std::memcpy(r.Row(y), p + size_t{3} * w * y, size_t{3} * w);
  return true;
}

bool ReadWindow(Reader& rd, Window& win) {
  uint8_t type, format;
  uint16_t w, h;
  plat::Rect& a = win.Area;
  if (!rd.U8(type) || !rd.U8(format) || !rd.I16(a.Left) || !rd.I16(a.Top) || !rd.I16(a.Right) ||
      !rd.I16(a.Bottom) || !rd.U16(w) || !rd.U16(h))
    return false;
  if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) return false;  // nothing to show is malformed
  if (type == static_cast<uint8_t>(WindowType::Picture)) {
    if (format != 0) return false;
    win.Type = WindowType::Picture;
    return ReadPixels(rd, win.Pixels, w, h);
  }
  if (type != static_cast<uint8_t>(WindowType::Clock)) return false;
  win.Type = WindowType::Clock;
  win.Format = format;
  uint8_t count;
  if (!rd.U8(count)) return false;
  uint32_t sum = 0;
  for (int i = 0; i < count; ++i) {
    uint8_t ch;
    uint16_t gw;
    if (!rd.U8(ch) || !rd.U16(gw)) return false;
    if (ch < 0x20 || ch > 0x7E || win.GlyphChars.find(static_cast<char>(ch)) != std::string::npos) return false;
    win.GlyphChars += static_cast<char>(ch);
    win.GlyphWidths.push_back(gw);
    sum += gw;
  }
  if (sum != w) return false;
  return ReadPixels(rd, win.Pixels, w, h);
}

}  // namespace

std::vector<uint8_t> SerializeProgram(const Program& p) {
  std::vector<uint8_t> out;
  SerializeProgram(p, out);
  return out;
}

void SerializeProgram(const Program& p, std::vector<uint8_t>& out) {
  // Its size first: a board's 147 KB grown a row at a time is copied over
  // and over (on the screen, each program it takes is encoded again).
  size_t size = 10;
  for (const Page& page : p.Pages) {
    size += 6;
    for (const Window& w : page.Windows)
      size += 15 + 3 * w.GlyphChars.size() + size_t{3} * w.Pixels.Width() * w.Pixels.Height();
  }
  out.clear();
  out.reserve(size);
  out.insert(out.end(), kMagic, kMagic + 4);
  out.push_back(kProgramVersion);
  out.push_back(p.RootType);
  out.push_back(p.ColorMode);
  out.push_back(0);
  PutU16(out, static_cast<uint16_t>(p.Pages.size()));
  for (const Page& page : p.Pages) {
    PutU32(out, page.DisplayMs);
    PutU16(out, static_cast<uint16_t>(page.Windows.size()));
    for (const Window& w : page.Windows) {
      out.push_back(static_cast<uint8_t>(w.Type));
      out.push_back(w.Type == WindowType::Clock ? static_cast<uint8_t>(w.Format) : 0);
      PutRect(out, w.Area);
      PutU16(out, static_cast<uint16_t>(w.Pixels.Width()));
      PutU16(out, static_cast<uint16_t>(w.Pixels.Height()));
      if (w.Type == WindowType::Clock) {
        out.push_back(static_cast<uint8_t>(w.GlyphChars.size()));
        for (size_t i = 0; i < w.GlyphChars.size(); ++i) {
          out.push_back(static_cast<uint8_t>(w.GlyphChars[i]));
          PutU16(out, w.GlyphWidths[i]);
        }
      }
      PutPixels(out, w.Pixels);
    }
  }
}

std::optional<Program> ParseProgram(const uint8_t* data, size_t size) {
  if (data == nullptr || size > kMaxProgramBytes) return std::nullopt;
  Reader rd(data, size);
  const uint8_t* magic;
  uint8_t version, reserved;
  uint16_t pages;
  Program p;
  if (!rd.Bytes(magic, 4) || std::memcmp(magic, kMagic, 4) != 0) return std::nullopt;
  if (!rd.U8(version) || version != kProgramVersion || !rd.U8(p.RootType) || !rd.U8(p.ColorMode) ||
      !rd.U8(reserved) || reserved != 0 || !rd.U16(pages) || pages > kMaxPages)
    return std::nullopt;
  if (p.RootType != 17 && p.RootType != 18) return std::nullopt;
  p.Pages.resize(pages);
  for (Page& page : p.Pages) {
    uint16_t windows;
    if (!rd.U32(page.DisplayMs) || !rd.U16(windows) || windows > kMaxWindows) return std::nullopt;
    page.Windows.resize(windows);
    for (Window& w : page.Windows)
      if (!ReadWindow(rd, w)) return std::nullopt;
  }
  if (!rd.AtEnd()) return std::nullopt;
  return p;
}

std::vector<uint8_t> PackProgram(const std::vector<uint8_t>& program) {
  uLongf size = compressBound(static_cast<uLong>(program.size()));
  std::vector<uint8_t> out(size);
  if (compress2(out.data(), &size, program.data(), static_cast<uLong>(program.size()), 1) != Z_OK) return {};
  out.resize(size);
  return out;
}

std::optional<std::vector<uint8_t>> UnpackProgram(const uint8_t* data, size_t size) {
  if (data == nullptr || size == 0 || size > kMaxProgramBytes) return std::nullopt;
  ProgramInflater in;
  in.Feed(data, size);
  return in.Finish();
}

struct ProgramInflater::Stream {
  z_stream z{};
  bool open = inflateInit(&z) == Z_OK;
  ~Stream() {
    if (open) inflateEnd(&z);
  }
};

ProgramInflater::ProgramInflater() : z_(std::make_unique<Stream>()) { failed_ = !z_->open; }
ProgramInflater::~ProgramInflater() = default;
ProgramInflater::ProgramInflater(ProgramInflater&&) noexcept = default;
ProgramInflater& ProgramInflater::operator=(ProgramInflater&&) noexcept = default;

bool ProgramInflater::Feed(const uint8_t* data, size_t size) {
  if (failed_ || size == 0) return !failed_;
  if (ended_) return !(failed_ = true);  // bytes after the stream's end
  z_stream& z = z_->z;
  z.next_in = const_cast<Bytef*>(data);
  z.avail_in = static_cast<uInt>(size);
  for (;;) {
    // Straight into the output; one byte more than a program may have shows a bomb.
    const size_t have = out_.size();
    const size_t room = std::min<size_t>(16384, kMaxProgramBytes + 1 - have);
    out_.resize(have + room);
    z.next_out = out_.data() + have;
    z.avail_out = static_cast<uInt>(room);
    const int rc = inflate(&z, Z_NO_FLUSH);
    out_.resize(have + room - z.avail_out);
    if (out_.size() > kMaxProgramBytes) return !(failed_ = true);  // a bomb, not a program
    if (rc == Z_STREAM_END) {
      ended_ = true;
      failed_ = z.avail_in != 0;
      return !failed_;
    }
    if (rc != Z_OK && !(rc == Z_BUF_ERROR && z.avail_in == 0)) return !(failed_ = true);
    if (z.avail_in == 0 && z.avail_out != 0) return true;  // wants the next bytes
  }
}

std::optional<std::vector<uint8_t>> ProgramInflater::Finish() {
  if (failed_ || !ended_) return std::nullopt;  // broken or truncated
  failed_ = true;
  return std::exchange(out_, {});
}

std::string ClockText(int format, const ClockTime& t) {
  char buf[40];
  switch (format) {
    case 1: std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.Year, t.Month, t.Day); break;
    case 2: std::snprintf(buf, sizeof buf, "%02d:%02d", t.Hour, t.Minute); break;
    case 4:
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.Year, t.Month, t.Day, t.Hour, t.Minute,
                    t.Second);
      break;
    default: std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.Hour, t.Minute, t.Second); break;
  }
  return buf;
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
static int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

bool ClockIsValid(const ClockTime& t) {
  static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (t.Year < 1970 || t.Year > 9999 || t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > days[t.Month - 1])
    return false;
  if (t.Month == 2 && t.Day == 29 && !(t.Year % 4 == 0 && (t.Year % 100 != 0 || t.Year % 400 == 0))) return false;
  return t.Hour >= 0 && t.Hour < 24 && t.Minute >= 0 && t.Minute < 60 && t.Second >= 0 && t.Second < 60;
}

int64_t ClockToSeconds(const ClockTime& t) {
  return DaysFromCivil(t.Year, t.Month, t.Day) * 86400 + t.Hour * 3600 + t.Minute * 60 + t.Second;
}

ClockTime SecondsToClock(int64_t s) {
  int64_t z = (s >= 0 ? s : s - 86399) / 86400;
  int64_t secs = s - z * 86400;
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  ClockTime t;
  t.Day = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
  t.Month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
  t.Year = static_cast<int32_t>(yoe + era * 400 + (t.Month <= 2));
  t.Hour = static_cast<int32_t>(secs / 3600);
  t.Minute = static_cast<int32_t>(secs / 60 % 60);
  t.Second = static_cast<int32_t>(secs % 60);
  return t;
}

}  // namespace ledp
