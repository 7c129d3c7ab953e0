// The display program: what MakeRoot / AddLeaf / Add... build in the library
// and what the screen shows. Texts are rendered to pixels by the library
// (GDI, with the fonts the program names); a clock window carries its font as
// a strip of glyphs so that the screen can draw the running time itself.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ledapi/core/protocol.h"
#include "ui/core/raster.h"

namespace ledp {

enum class WindowType : uint8_t { Picture = 1, Clock = 2 };

struct Window {
  WindowType Type = WindowType::Picture;
  plat::Rect Area;      // where on the screen; the content is clipped to it
  plat::Raster Pixels;  // Picture: drawn at Area's top-left. Clock: the glyph strip
  // Clock only.
  int Format = 3;
  std::string GlyphChars;            // the characters of the strip, in order
  std::vector<uint16_t> GlyphWidths; // their widths in the strip
};

struct Page {
  uint32_t DisplayMs = 0;  // how long the page stays before the next one
  std::vector<Window> Windows;
};

struct Program {
  uint8_t RootType = 17;   // 17 show, 18 show and store on the card
  uint8_t ColorMode = 2;
  std::vector<Page> Pages;
};

constexpr int kMaxPages = 64;
constexpr int kMaxWindows = 64;
constexpr int kMaxSide = 4096;
constexpr char kClockGlyphs[] = "0123456789-: ";

std::vector<uint8_t> SerializeProgram(const Program& p);
// The same into `out`, whose buffer is reused: encoding every program a
// screen takes into fresh memory costs more than the encoding.
void SerializeProgram(const Program& p, std::vector<uint8_t>& out);
// Nothing unless the bytes are exactly one well-formed program.
std::optional<Program> ParseProgram(const uint8_t* data, size_t size);

// What travels: the serialized program as one zlib stream. A board is
// mostly dark, so this cuts its hundred-odd datagrams to a handful.
std::vector<uint8_t> PackProgram(const std::vector<uint8_t>& program);
// Nothing unless the bytes are one complete zlib stream that inflates to at
// most kMaxProgramBytes.
std::optional<std::vector<uint8_t>> UnpackProgram(const uint8_t* data, size_t size);

// UnpackProgram for bytes that come in pieces, in order (a program as its
// datagrams arrive): the unpacking is spread over the send instead of all
// falling on its last datagram.
class ProgramInflater {
 public:
  ProgramInflater();
  ~ProgramInflater();
  ProgramInflater(ProgramInflater&&) noexcept;
  ProgramInflater& operator=(ProgramInflater&&) noexcept;

  // The next packed bytes. False once they cannot be a packed program (not
  // zlib, more than kMaxProgramBytes unpacked, bytes after the stream's end);
  // it stays false.
  bool Feed(const uint8_t* data, size_t size);
  // What is unpacked so far.
  const std::vector<uint8_t>& Unpacked() const { return out_; }
  // After the last bytes: the program, as UnpackProgram gives it.
  std::optional<std::vector<uint8_t>> Finish();

 private:
  struct Stream;
  std::unique_ptr<Stream> z_;  // zlib's state points at itself: it must not move
  std::vector<uint8_t> out_;
  bool ended_ = false, failed_ = false;
};

// The clock window's text for a format: 1 date, 2 hours and minutes,
// 3 hours, minutes and seconds, 4 date and time; others as 3.
std::string ClockText(int format, const ClockTime& t);

// Civil time <-> seconds since 1970-01-01 00:00 of the same wall clock.
int64_t ClockToSeconds(const ClockTime& t);
ClockTime SecondsToClock(int64_t s);
bool ClockIsValid(const ClockTime& t);

}  // namespace ledp
