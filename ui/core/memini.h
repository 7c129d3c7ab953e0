// The runtime's in-memory INI file and its text-line rules. Text is kept as
// bytes in the file's own code page (the program's files are GBK); only the
// ASCII letters of section and key names are folded for comparison, and the
// trail byte of a double-byte character is never folded.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace plat {

// Splits text into lines: a line ends at CR LF, at a lone CR or at a lone LF.
// A final line without an end is kept; an empty text gives no lines.
std::vector<std::string> SplitLines(std::string_view text);
// Joins lines, each followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// Removes blanks and control characters (every byte up to 0x20) at both ends.
std::string_view TrimView(std::string_view s);
std::string Trim(std::string_view s);

// The runtime's integer conversion: optional sign, decimal digits, or
// hexadecimal after "$" (or "0x"/"0X"); 32-bit range (hexadecimal wraps).
bool TryStrToInt(std::string_view s, int32_t& out);
int32_t StrToIntDef(std::string_view s, int32_t def);
// Raises EConvertError "'%s' is not a valid integer value".
int32_t StrToInt(std::string_view s);

// Hashing and equality of names without regard to ASCII letter case, usable
// with string views so that look-ups need no folded copy.
struct FoldedHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const;
};
struct FoldedEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

class TMemIniFile {
 public:
  TMemIniFile() = default;
  // Loads a file; a file that does not exist gives an empty INI.
  explicit TMemIniFile(const std::string& path);

  void SetStrings(const std::vector<std::string>& lines);
  void SetText(std::string_view text);
  // The whole content as lines: "[section]", its key lines, an empty line.
  std::vector<std::string> GetStrings() const;
  void SaveToFile(const std::string& path) const;
  void Clear();

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> ReadSections() const;
  std::vector<std::string> ReadSection(std::string_view section) const;  // key names

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // The value of a present key, or null; valid until the INI is changed.
  const std::string* FindValue(std::string_view section, std::string_view key) const;
  // "0x"/"0X" prefix (longer than two characters) or "$" read as hexadecimal;
  // anything that does not convert gives the default.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view key);

 private:
  struct Entry {
    std::string Key;  // empty Key with HasEq false: a line without "="
    std::string Value;
    bool HasEq = true;
  };
  using NameIndex = std::unordered_map<std::string, size_t, FoldedHash, FoldedEqual>;
  struct Section {
    std::string Name;
    std::vector<Entry> Entries;
    NameIndex Index;  // key -> entry
  };
  const Section* Find(std::string_view section) const;
  void AddLine(Section*& cur, std::string_view line);
  Section& Ensure(std::string_view section);
  void Rebuild();

  std::vector<Section> sections_;
  NameIndex index_;  // name -> section
};

// Folds ASCII letters to lower case, leaving double-byte characters whole.
std::string FoldName(std::string_view s);

}  // namespace plat
