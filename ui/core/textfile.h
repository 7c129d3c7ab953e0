// Text files with the runtime's reading rules and I/O errors.
//
// Reading: a line ends at LF or CR LF, a CR not followed by LF is dropped, a
// byte 0x1A ends the file, and reading past the end gives empty text or 0
// without error. Writing: Rewrite collects the new content in a temporary file
// next to the target, and Close swaps it in, so a failed write never leaves a
// half-written file in place of the old one.
//
// Every failure raises EInOutError with the runtime's code and text.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "exceptions.h"

namespace plat {

class AtomicFileWriter;

// The runtime's code for an OS error: 2 "File not found", 5 "File access
// denied", otherwise the OS code ("I/O error N").
int IoErrorCodeFor(const std::error_code& ec);
[[noreturn]] void RaiseIoError(const std::error_code& ec);
// The error of the C runtime call that just failed (errno, or on Windows the
// OS code the C runtime recorded with it).
std::error_code LastCrtError();

class TextFile {
 public:
  TextFile();
  explicit TextFile(std::string path);  // AssignFile; paths are UTF-8
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // A read-only text over bytes in memory, already open (tests, fuzzing).
  static std::unique_ptr<TextFile> FromBytes(std::string bytes);

  const std::string& Path() const { return path_; }
  void Reset();    // open for reading
  void Rewrite();  // create or replace for writing (takes effect at Close)
  void Close();    // an unclosed written file is discarded
  bool IsOpen() const { return mode_ != Mode::Closed; }

  // --- reading
  bool Eof();
  // The rest of the current line, then past its line break.
  std::string ReadLine();
  // Past the next line break (or to the end).
  void SkipLine();
  // Skips bytes <= 32 across lines (0 at the end), takes up to 32 bytes
  // above 32 and converts them; raises "Invalid numeric input". Leaves the
  // position just after the number, as the runtime's Read does.
  int32_t ReadInteger();

  // --- writing
  void Write(std::string_view bytes);
  void WriteLine(std::string_view bytes);  // bytes + CR LF

 private:
  enum class Mode { Closed, Reading, Writing };
  int Peek();  // next byte, or -1 at the end of the text
  void Advance() { ++pos_; }
  bool Refill();
  void RequireMode(Mode m) const;

  std::string path_;
  Mode mode_ = Mode::Closed;
  std::FILE* in_ = nullptr;
  bool memory_ = false;
  bool ended_ = false;  // 0x1A seen or the source is exhausted
  std::string buf_;
  size_t pos_ = 0;
  std::unique_ptr<AtomicFileWriter> out_;
  std::string pending_;
};

// Val-style conversion of a token: optional sign, then decimal digits, or hex
// digits after "$", "x", "X", "0x" or "0X"; the result must fit in int32.
bool ParseInt32(std::string_view token, int32_t& value);

// A text made safe to write as one line of a positional file: CR, LF and
// 0x1A would split it or end the file early on reading, so they become spaces.
std::string SingleLine(std::string_view text);

}  // namespace plat
