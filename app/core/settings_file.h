// "messbay.ini": eight positional lines (window left, window top, screen IP,
// vertical offset, spacing, price offset, show title, save to card). Numeric
// lines carry a comment after the value for a human reader; the reader skips
// it. Texts are the file's own code page bytes; the window converts them.
#pragma once
#include <cstdint>
#include <string>

#include "ui/core/textfile.h"

namespace app {

inline constexpr char kSettingsFileName[] = "messbay.ini";

// Receives each value the moment it is read, so values read before an error
// stay in force.
class SettingsSink {
 public:
  virtual ~SettingsSink() = default;
  virtual void SetWindowLeft(int32_t v) = 0;
  virtual void SetWindowTop(int32_t v) = 0;
  virtual void SetScreenIp(const std::string& bytes) = 0;
  virtual void SetVerticalOffset(int32_t v) = 0;
  virtual void SetSpacing(int32_t v) = 0;
  virtual void SetPriceOffset(int32_t v) = 0;
  virtual void SetShowTitle(int32_t v) = 0;
  virtual void SetSaveToCard(int32_t v) = 0;
};

struct SettingsValues {
  int32_t windowLeft = 0;
  int32_t windowTop = 0;
  std::string screenIp;  // file bytes
  int32_t verticalOffset = 0;
  int32_t spacing = 0;
  int32_t priceOffset = 0;
  int32_t showTitle = 0;
  int32_t saveToCard = 0;
  bool operator==(const SettingsValues&) const = default;
};

// A sink that stores into a SettingsValues.
class SettingsValuesSink : public SettingsSink {
 public:
  explicit SettingsValuesSink(SettingsValues& v) : v_(v) {}
  void SetWindowLeft(int32_t v) override { v_.windowLeft = v; }
  void SetWindowTop(int32_t v) override { v_.windowTop = v; }
  void SetScreenIp(const std::string& bytes) override { v_.screenIp = bytes; }
  void SetVerticalOffset(int32_t v) override { v_.verticalOffset = v; }
  void SetSpacing(int32_t v) override { v_.spacing = v; }
  void SetPriceOffset(int32_t v) override { v_.priceOffset = v; }
  void SetShowTitle(int32_t v) override { v_.showTitle = v; }
  void SetSaveToCard(int32_t v) override { v_.saveToCard = v; }

 private:
  SettingsValues& v_;
};

// Reads the eight values from an open text file. Raises plat::EInOutError.
void ReadSettings(plat::TextFile& f, SettingsSink& sink);
// Opens, reads and closes the file at path (UTF-8).
void ReadSettingsFile(const std::string& path, SettingsSink& sink);

// The file's bytes: eight lines ending in CR LF with the comment suffixes in
// code page 936.
std::string SettingsFileBytes(const SettingsValues& v);
// Replaces the file in one step; the old file survives any failure.
void WriteSettingsFile(const std::string& path, const SettingsValues& v);

}  // namespace app
