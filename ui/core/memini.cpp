#include "memini.h"

#include "exceptions.h"
#include "stream.h"

namespace plat {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < n) lines.emplace_back(text.substr(start));
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  size_t total = 0;
  for (const auto& l : lines) total += l.size() + 2;
  std::string out;
  out.reserve(total);
  for (const auto& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

std::string_view TrimView(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

bool TryStrToInt(std::string_view s, int32_t& out) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  uint64_t v = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    v = v * (hex ? 16 : 10) + static_cast<uint64_t>(d);
    if (v > (hex ? 0xFFFFFFFFull : 0x80000000ull)) return false;
  }
  if (hex) {
    const uint32_t u = static_cast<uint32_t>(v);
    out = static_cast<int32_t>(neg ? 0u - u : u);
    return true;
  }
  if (!neg && v > 0x7FFFFFFFull) return false;
  out = neg ? static_cast<int32_t>(0 - static_cast<int64_t>(v)) : static_cast<int32_t>(v);
  return true;
}

int32_t StrToIntDef(std::string_view s, int32_t def) {
  int32_t v;
  return TryStrToInt(s, v) ? v : def;
}

int32_t StrToInt(std::string_view s) {
  int32_t v;
  if (!TryStrToInt(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
  return v;
}

std::string FoldName(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(out[i]);
    if (c >= 0x81 && c <= 0xFE) {
      ++i;  // lead byte of a double-byte character: its trail byte stays as is
    } else if (c >= 'A' && c <= 'Z') {
      out[i] = static_cast<char>(c + ('a' - 'A'));
    }
  }
  return out;
}

namespace {
// ASCII letters folded; the trail byte of a double-byte character is kept.
template <class F>
void ForEachFolded(std::string_view s, F f) {
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < s.size()) {
      f(c);
      f(static_cast<unsigned char>(s[++i]));
      continue;
    }
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + ('a' - 'A'));
    f(c);
  }
}
}  // namespace

size_t FoldedHash::operator()(std::string_view s) const {
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  ForEachFolded(s, [&h](unsigned char c) { h = (h ^ c) * 1099511628211ull; });
  return static_cast<size_t>(h ^ (h >> 32));
}

bool FoldedEqual::operator()(std::string_view a, std::string_view b) const {
  if (a.size() != b.size()) return false;
  // Lead bytes line up in both strings as long as the bytes before agree.
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 0x81 && x <= 0xFE && i + 1 < a.size()) {
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + ('a' - 'A'));
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + ('a' - 'A'));
    if (x != y) return false;
  }
  return true;
}

TMemIniFile::TMemIniFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  try {
    bytes = ReadWholeFile(path);
  } catch (const EFOpenError&) {
    return;  // like the runtime: a missing file reads as an empty INI
  }
  SetText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void TMemIniFile::Clear() {
  sections_.clear();
  index_.clear();
}

void TMemIniFile::SetStrings(const std::vector<std::string>& lines) {
  Clear();
  Section* cur = nullptr;
  for (const std::string& line : lines) AddLine(cur, line);
}

void TMemIniFile::SetText(std::string_view text) {
  // The same lines as SplitLines gives, without building the list.
  Clear();
  Section* cur = nullptr;
  size_t start = 0;
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      AddLine(cur, text.substr(start, i - start));
      if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < n) AddLine(cur, text.substr(start));
}

void TMemIniFile::AddLine(Section*& cur, std::string_view raw) {
  const std::string_view line = TrimView(raw);
  if (line.empty() || line[0] == ';') return;
  if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
    const std::string_view name = TrimView(line.substr(1, line.size() - 2));
    auto it = index_.find(name);
    if (it != index_.end()) {
      // A repeated section replaces the earlier one as a whole.
      cur = &sections_[it->second];
      cur->Entries.clear();
      cur->Index.clear();
    } else {
      sections_.push_back(Section{std::string(name), {}, {}});
      index_.emplace(std::string(name), sections_.size() - 1);
      cur = &sections_.back();
    }
    return;
  }
  if (!cur) return;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) {
    cur->Entries.push_back(Entry{std::string(line), {}, false});
    return;
  }
  const std::string_view key = TrimView(line.substr(0, eq));
  const std::string_view value = TrimView(line.substr(eq + 1));
  auto it = cur->Index.find(key);
  if (it != cur->Index.end()) {
    cur->Entries[it->second].Value.assign(value);  // the last one wins
  } else {
    cur->Index.emplace(std::string(key), cur->Entries.size());
    cur->Entries.push_back(Entry{std::string(key), std::string(value), true});
  }
}

std::vector<std::string> TMemIniFile::GetStrings() const {
  std::vector<std::string> out;
  for (const Section& s : sections_) {
    out.push_back("[" + s.Name + "]");
    for (const Entry& e : s.Entries) out.push_back(e.HasEq ? e.Key + "=" + e.Value : e.Key);
    out.emplace_back();
  }
  return out;
}

void TMemIniFile::SaveToFile(const std::string& path) const {
  const std::string text = JoinLines(GetStrings());
  TFileStream f(path, TFileStream::fmCreate);
  f.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
}

const TMemIniFile::Section* TMemIniFile::Find(std::string_view section) const {
  auto it = index_.find(section);
  return it == index_.end() ? nullptr : &sections_[it->second];
}

TMemIniFile::Section& TMemIniFile::Ensure(std::string_view section) {
  auto it = index_.find(section);
  if (it != index_.end()) return sections_[it->second];
  index_.emplace(std::string(section), sections_.size());
  sections_.push_back(Section{std::string(section), {}, {}});
  return sections_.back();
}

void TMemIniFile::Rebuild() {
  index_.clear();
  for (size_t i = 0; i < sections_.size(); ++i) index_.emplace(sections_[i].Name, i);
}

bool TMemIniFile::SectionExists(std::string_view section) const { return Find(section) != nullptr; }

bool TMemIniFile::ValueExists(std::string_view section, std::string_view key) const {
  const Section* s = Find(section);
  return s && s->Index.find(key) != s->Index.end();
}

std::vector<std::string> TMemIniFile::ReadSections() const {
  std::vector<std::string> out;
  for (const Section& s : sections_) out.push_back(s.Name);
  return out;
}

std::vector<std::string> TMemIniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> out;
  if (const Section* s = Find(section))
    for (const Entry& e : s->Entries)
      if (e.HasEq) out.push_back(e.Key);
  return out;
}

const std::string* TMemIniFile::FindValue(std::string_view section, std::string_view key) const {
  if (const Section* s = Find(section)) {
    auto it = s->Index.find(key);
    if (it != s->Index.end()) return &s->Entries[it->second].Value;
  }
  return nullptr;
}

std::string TMemIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  const std::string* v = FindValue(section, key);
  return v ? *v : std::string(def);
}

int32_t TMemIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  // TryStrToInt takes "$" and "0x"/"0X" (with digits after it) as hexadecimal.
  const std::string* v = FindValue(section, key);
  return v ? StrToIntDef(*v, def) : def;
}

bool TMemIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TMemIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Section& s = Ensure(section);
  auto it = s.Index.find(key);
  if (it != s.Index.end()) {
    s.Entries[it->second].Value = std::string(value);
  } else {
    s.Index.emplace(std::string(key), s.Entries.size());
    s.Entries.push_back(Entry{std::string(key), std::string(value), true});
  }
}

void TMemIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TMemIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TMemIniFile::EraseSection(std::string_view section) {
  auto it = index_.find(section);
  if (it == index_.end()) return;
  sections_.erase(sections_.begin() + static_cast<ptrdiff_t>(it->second));
  Rebuild();
}

void TMemIniFile::DeleteKey(std::string_view section, std::string_view key) {
  auto it = index_.find(section);
  if (it == index_.end()) return;
  Section& s = sections_[it->second];
  auto k = s.Index.find(key);
  if (k == s.Index.end()) return;
  s.Entries.erase(s.Entries.begin() + static_cast<ptrdiff_t>(k->second));
  s.Index.clear();
  for (size_t i = 0; i < s.Entries.size(); ++i)
    if (s.Entries[i].HasEq) s.Index.emplace(s.Entries[i].Key, i);
}

}  // namespace plat
