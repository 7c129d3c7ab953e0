#include "app/core/menu_file.h"

namespace app {

void ReadMenu(plat::TextFile& f, const MenuLineSink& sink) {
  for (int line = 1; line <= kMenuLineCount; ++line) sink(line, f.ReadLine());
}

void ReadMenuFile(const std::string& path, const MenuLineSink& sink) {
  plat::TextFile f(path);
  f.Reset();
  ReadMenu(f, sink);
  f.Close();
}

std::string MenuFileBytes(const MenuLines& lines) {
  std::string out;
  for (const std::string& line : lines) {
    out += plat::SingleLine(line);
    out += "\r\n";
  }
  return out;
}

void WriteMenuFile(const std::string& path, const MenuLines& lines) {
  plat::TextFile f(path);
  f.Rewrite();
  f.Write(MenuFileBytes(lines));
  f.Close();
}

}  // namespace app
