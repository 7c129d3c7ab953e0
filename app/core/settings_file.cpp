#include "app/core/settings_file.h"

#include <iterator>

namespace app {

namespace {

// The comment suffixes after the numeric values, in code page 936. Kept as
// bytes so writing never depends on a code page converter.
constexpr unsigned char kLeft[] = {0xB4, 0xB0, 0xBF, 0xDA, 0xD7, 0xF3, 0xC9, 0xCF, 0xBD, 0xC7};  // 窗口左上角
constexpr unsigned char kTop[] = {0xB4, 0xB0, 0xBF, 0xDA, 0xD7, 0xF3, 0xB6, 0xA5, 0xB5, 0xE3};   // 窗口左顶点
constexpr unsigned char kVertical[] = {0xB4, 0xB9, 0xD6, 0xB1, 0xC6, 0xAB, 0xD2, 0xC6, 0xC1, 0xBF};  // 垂直偏移量
constexpr unsigned char kSpacing[] = {0xBC, 0xE4, 0xBE, 0xE0};                                    // 间距
constexpr unsigned char kPrice[] = {0xBD, 0xF0, 0xB6, 0xEE, 0xC6, 0xAB, 0xD2, 0xC6, 0xC1, 0xBF};  // 金额偏移量
constexpr unsigned char kShowTitle[] = {0xCE, 0xAA, 0x31, 0x3A, 0xCF, 0xD4, 0xCA, 0xBE, 0xB1, 0xEA,
                                        0xCC, 0xE2, 0x2C, 0x30, 0xB2, 0xBB, 0xCF, 0xD4, 0xCA, 0xBE};  // 为1:显示标题,0不显示
constexpr unsigned char kSaveToCard[] = {0xCE, 0xAA, 0x31, 0x3A, 0xB1, 0xA3, 0xB4, 0xE6, 0xB5, 0xBD,
                                         0xBF, 0xA8, 0x2C, 0x30, 0xBD, 0xF6, 0xCF, 0xD4, 0xCA, 0xBE};  // 为1:保存到卡,0仅显示

template <size_t N>
std::string NumberLine(int32_t value, const unsigned char (&comment)[N]) {
  std::string line = std::to_string(value);
  line += "    ----";
  line.append(std::begin(comment), std::end(comment));
  return line;
}

}  // namespace

void ReadSettings(plat::TextFile& f, SettingsSink& sink) {
  auto number = [&f] {
    const int32_t v = f.ReadInteger();
    f.SkipLine();
    return v;
  };
  sink.SetWindowLeft(number());
  sink.SetWindowTop(number());
  sink.SetScreenIp(f.ReadLine());
  sink.SetVerticalOffset(number());
  sink.SetSpacing(number());
  sink.SetPriceOffset(number());
  sink.SetShowTitle(number());
  sink.SetSaveToCard(number());
}

void ReadSettingsFile(const std::string& path, SettingsSink& sink) {
  plat::TextFile f(path);
  f.Reset();
  ReadSettings(f, sink);
  f.Close();
}

std::string SettingsFileBytes(const SettingsValues& v) {
  const std::string lines[] = {
      NumberLine(v.windowLeft, kLeft),
      NumberLine(v.windowTop, kTop),
      plat::SingleLine(v.screenIp),
      NumberLine(v.verticalOffset, kVertical),
      NumberLine(v.spacing, kSpacing),
      NumberLine(v.priceOffset, kPrice),
      NumberLine(v.showTitle, kShowTitle),
      NumberLine(v.saveToCard, kSaveToCard),
  };
  std::string out;
  for (const std::string& line : lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

void WriteSettingsFile(const std::string& path, const SettingsValues& v) {
  plat::TextFile f(path);
  f.Rewrite();
  f.Write(SettingsFileBytes(v));
  f.Close();
}

}  // namespace app
