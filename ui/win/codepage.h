// Conversion between the program's wide text and the bytes of its text
// files. Files are in the Chinese ANSI code page; we read and write them as
// GB18030 (54936), which gives every GBK (936) character the same bytes and
// can also hold characters GBK lacks, instead of turning them into "?".
#pragma once
#include <string>
#include <string_view>

namespace plat {

// 54936 where the system has it, otherwise 936.
unsigned FileCodePage();

std::wstring FromFileBytes(std::string_view bytes);
std::string ToFileBytes(std::wstring_view text);

// The same conversions with a given code page (0 = FileCodePage()).
std::wstring BytesToWide(std::string_view bytes, unsigned codePage);
std::string WideToBytes(std::wstring_view text, unsigned codePage);

}  // namespace plat
