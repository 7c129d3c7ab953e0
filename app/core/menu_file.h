// Menu files ("*.txt" and "default.lst"): thirty lines, name and price of
// each of the fifteen entries in turn, as the edit boxes hold them (code page
// bytes; the window converts them).
#pragma once
#include <array>
#include <functional>
#include <string>

#include "ui/core/textfile.h"

namespace app {

inline constexpr char kDefaultMenuFileName[] = "default.lst";
inline constexpr int kMenuLineCount = 30;

using MenuLines = std::array<std::string, kMenuLineCount>;
// Called for line 1..30 right after that line is read, so boxes filled
// before an error keep their new texts.
using MenuLineSink = std::function<void(int line, const std::string& bytes)>;

// Reads thirty lines from an open text file; missing lines are empty, lines
// after the thirtieth are ignored. Raises plat::EInOutError.
void ReadMenu(plat::TextFile& f, const MenuLineSink& sink);
// Opens, reads and closes the file at path (UTF-8).
void ReadMenuFile(const std::string& path, const MenuLineSink& sink);

// Thirty lines, each ending in CR LF.
std::string MenuFileBytes(const MenuLines& lines);
// Replaces the file in one step; the old file survives any failure.
void WriteMenuFile(const std::string& path, const MenuLines& lines);

}  // namespace app
