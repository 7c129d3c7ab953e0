// Conversion between the program's wide text and the bytes of its text
// files. Files are in the Chinese ANSI code page 936 (GBK). A plain GBK write
// turns every character GBK lacks into "?"; we write those few with their
// four-byte GB18030 codes instead, and everything else with exactly the bytes
// code page 936 gives. GBK files therefore read as before, and any text
// survives a save. (The system's own GB18030 code page, 54936, is not used:
// Wine lacks it, and it reads byte 0x80, which code page 936 writes for the
// euro sign, differently.)
#pragma once
#include <string>
#include <string_view>

namespace plat {

std::wstring FromFileBytes(std::string_view bytes);
std::string ToFileBytes(std::wstring_view text);

}  // namespace plat
