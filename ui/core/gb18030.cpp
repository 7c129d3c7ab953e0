#include "ui/core/gb18030.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace plat::gb18030 {

namespace {

// The BMP code points without a one- or two-byte code, in runs: each entry
// gives the first code point of a run and its position in the four-byte
// sequence; a run lasts until the next entry's position. Derived from the
// published GB18030 mapping.
struct Run {
  uint16_t first;
  uint16_t position;
};
constexpr Run kRuns[] = {
    {0x0080, 0}, {0x00A5, 36}, {0x00A9, 38}, {0x00B2, 45}, {0x00B8, 50}, {0x00D8, 81},
    {0x00E2, 89}, {0x00EB, 95}, {0x00EE, 96}, {0x00F4, 100}, {0x00F8, 103}, {0x00FB, 104},
    {0x00FD, 105}, {0x0102, 109}, {0x0114, 126}, {0x011C, 133}, {0x012C, 148}, {0x0145, 172},
    {0x0149, 175}, {0x014E, 179}, {0x016C, 208}, {0x01CF, 306}, {0x01D1, 307}, {0x01D3, 308},
    {0x01D5, 309}, {0x01D7, 310}, {0x01D9, 311}, {0x01DB, 312}, {0x01DD, 313}, {0x01FA, 341},
    {0x0252, 428}, {0x0262, 443}, {0x02C8, 544}, {0x02CC, 545}, {0x02DA, 558}, {0x03A2, 741},
    {0x03AA, 742}, {0x03C2, 749}, {0x03CA, 750}, {0x0402, 805}, {0x0450, 819}, {0x0452, 820},
    {0x2011, 7922}, {0x2017, 7924}, {0x201A, 7925}, {0x201E, 7927}, {0x2027, 7934}, {0x2031, 7943},
    {0x2034, 7944}, {0x2036, 7945}, {0x203C, 7950}, {0x20AD, 8062}, {0x2104, 8148}, {0x2106, 8149},
    {0x210A, 8152}, {0x2117, 8164}, {0x2122, 8174}, {0x216C, 8236}, {0x217A, 8240}, {0x2194, 8262},
    {0x219A, 8264}, {0x2209, 8374}, {0x2210, 8380}, {0x2212, 8381}, {0x2216, 8384}, {0x221B, 8388},
    {0x2221, 8390}, {0x2224, 8392}, {0x2226, 8393}, {0x222C, 8394}, {0x222F, 8396}, {0x2238, 8401},
    {0x223E, 8406}, {0x2249, 8416}, {0x224D, 8419}, {0x2253, 8424}, {0x2262, 8437}, {0x2268, 8439},
    {0x2270, 8445}, {0x2296, 8482}, {0x229A, 8485}, {0x22A6, 8496}, {0x22C0, 8521}, {0x2313, 8603},
    {0x246A, 8936}, {0x249C, 8946}, {0x254C, 9046}, {0x2574, 9050}, {0x2590, 9063}, {0x2596, 9066},
    {0x25A2, 9076}, {0x25B4, 9092}, {0x25BE, 9100}, {0x25C8, 9108}, {0x25CC, 9111}, {0x25D0, 9113},
    {0x25E6, 9131}, {0x2607, 9162}, {0x260A, 9164}, {0x2641, 9218}, {0x2643, 9219}, {0x2E82, 11329},
    {0x2E85, 11331}, {0x2E89, 11334}, {0x2E8D, 11336}, {0x2E98, 11346}, {0x2EA8, 11361}, {0x2EAB, 11363},
    {0x2EAF, 11366}, {0x2EB4, 11370}, {0x2EB8, 11372}, {0x2EBC, 11375}, {0x2ECB, 11389}, {0x2FFC, 11682},
    {0x3004, 11686}, {0x3018, 11687}, {0x301F, 11692}, {0x302A, 11694}, {0x303F, 11714}, {0x3094, 11716},
    {0x309F, 11723}, {0x30F7, 11725}, {0x30FF, 11730}, {0x312A, 11736}, {0x322A, 11982}, {0x3232, 11989},
    {0x32A4, 12102}, {0x3390, 12336}, {0x339F, 12348}, {0x33A2, 12350}, {0x33C5, 12384}, {0x33CF, 12393},
    {0x33D3, 12395}, {0x33D6, 12397}, {0x3448, 12510}, {0x3474, 12553}, {0x359F, 12851}, {0x360F, 12962},
    {0x361B, 12973}, {0x3919, 13738}, {0x396F, 13823}, {0x39D1, 13919}, {0x39E0, 13933}, {0x3A74, 14080},
    {0x3B4F, 14298}, {0x3C6F, 14585}, {0x3CE1, 14698}, {0x4057, 15583}, {0x4160, 15847}, {0x4338, 16318},
    {0x43AD, 16434}, {0x43B2, 16438}, {0x43DE, 16481}, {0x44D7, 16729}, {0x464D, 17102}, {0x4662, 17122},
    {0x4724, 17315}, {0x472A, 17320}, {0x477D, 17402}, {0x478E, 17418}, {0x4948, 17859}, {0x497B, 17909},
    {0x497E, 17911}, {0x4984, 17915}, {0x4987, 17916}, {0x499C, 17936}, {0x49A0, 17939}, {0x49B8, 17961},
    {0x4C78, 18664}, {0x4CA4, 18703}, {0x4D1A, 18814}, {0x4DAF, 18962}, {0x9FA6, 19043}, {0xE76C, 33469},
    {0xE7C8, 33470}, {0xE7E7, 33471}, {0xE815, 33484}, {0xE819, 33485}, {0xE81F, 33490}, {0xE827, 33497},
    {0xE82D, 33501}, {0xE833, 33505}, {0xE83C, 33513}, {0xE844, 33520}, {0xE856, 33536}, {0xE865, 33550},
    {0xF92D, 37845}, {0xF97A, 37921}, {0xF996, 37948}, {0xF9E8, 38029}, {0xF9F2, 38038}, {0xFA10, 38064},
    {0xFA12, 38065}, {0xFA15, 38066}, {0xFA19, 38069}, {0xFA22, 38075}, {0xFA25, 38076}, {0xFA2A, 38078},
    {0xFE32, 39108}, {0xFE45, 39109}, {0xFE53, 39113}, {0xFE58, 39114}, {0xFE67, 39115}, {0xFE6C, 39116},
    {0xFF5F, 39265}, {0xFFE6, 39394},
};
constexpr uint32_t kBmpEnd = 39420;          // positions of the BMP runs end here
constexpr uint32_t kSupplementary = 189000;  // position of U+10000 (0x90308130)

uint32_t RunEnd(size_t i) { return i + 1 < std::size(kRuns) ? kRuns[i + 1].position : kBmpEnd; }

}  // namespace

bool EncodeFourByte(char32_t cp, char out[4]) {
  uint32_t position;
  if (cp >= 0x10000 && cp <= 0x10FFFF) {
    position = kSupplementary + (cp - 0x10000);
  } else if (cp >= 0x80 && cp <= 0xFFFF && (cp < 0xD800 || cp > 0xDFFF)) {
    const auto it = std::upper_bound(std::begin(kRuns), std::end(kRuns), cp,
                                     [](char32_t c, const Run& r) { return c < r.first; });
    if (it == std::begin(kRuns)) return false;
    const size_t i = static_cast<size_t>(it - std::begin(kRuns)) - 1;
    position = kRuns[i].position + (cp - kRuns[i].first);
    if (position >= RunEnd(i)) return false;  // has a two-byte code
  } else {
    return false;
  }
  out[3] = static_cast<char>(0x30 + position % 10);
  position /= 10;
  out[2] = static_cast<char>(0x81 + position % 126);
  position /= 126;
  out[1] = static_cast<char>(0x30 + position % 10);
  position /= 10;
  out[0] = static_cast<char>(0x81 + position);
  return true;
}

bool IsFourByte(const unsigned char* b, size_t available) {
  return available >= 4 && b[0] >= 0x81 && b[0] <= 0xFE && b[1] >= 0x30 && b[1] <= 0x39 && b[2] >= 0x81 &&
         b[2] <= 0xFE && b[3] >= 0x30 && b[3] <= 0x39;
}

bool DecodeFourByte(const unsigned char* b, char32_t& cp) {
  const uint32_t position = (((b[0] - 0x81u) * 10 + (b[1] - 0x30u)) * 126 + (b[2] - 0x81u)) * 10 + (b[3] - 0x30u);
  if (position >= kSupplementary) {
    const uint32_t c = 0x10000 + (position - kSupplementary);
    if (c > 0x10FFFF) return false;
    cp = c;
    return true;
  }
  if (position >= kBmpEnd) return false;
  const auto it = std::upper_bound(std::begin(kRuns), std::end(kRuns), position,
                                   [](uint32_t p, const Run& r) { return p < r.position; });
  const size_t i = static_cast<size_t>(it - std::begin(kRuns)) - 1;
  cp = kRuns[i].first + (position - kRuns[i].position);
  return true;
}

}  // namespace plat::gb18030
