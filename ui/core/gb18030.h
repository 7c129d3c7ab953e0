// The four-byte part of GB18030: the codes it gives to every character that
// GBK has no one- or two-byte code for. Together with code page 936 for the
// rest this writes any text without loss while GBK files read unchanged.
#pragma once
#include <cstddef>

namespace plat::gb18030 {

// False for code points that GB18030 writes in one or two bytes, and for
// surrogates.
bool EncodeFourByte(char32_t cp, char out[4]);
// Whether b starts a four-byte sequence (lead, digit, lead, digit). Such a
// sequence never occurs in GBK text, whose trail bytes are never digits.
bool IsFourByte(const unsigned char* b, size_t available);
// False for four-byte sequences that name no character.
bool DecodeFourByte(const unsigned char* b, char32_t& cp);

}  // namespace plat::gb18030
