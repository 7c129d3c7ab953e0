#include "ledapi/core/ledapi_ini.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "ledapi/core/key_text.h"
#include "ledapi/core/protocol.h"
#include "ui/core/memini.h"

namespace ledp {

const char* ProtocolName(Protocol p) {
  switch (p) {
    case Protocol::E131: return "e131";
    case Protocol::ArtNet: return "artnet";
    case Protocol::Ddp: return "ddp";
    default: return "own";
  }
}

uint16_t PixelTarget::PortOrDefault() const {
  if (Port) return Port;
  switch (Kind) {
    case Protocol::E131: return kE131Port;
    case Protocol::ArtNet: return kArtNetPort;
    case Protocol::Ddp: return kDdpPort;
    default: return 0;
  }
}

int PixelTarget::FirstUniverse() const {
  if (Universe >= 0) return Universe;
  return Kind == Protocol::E131 ? 1 : 0;
}

int PixelTarget::UniverseCount() const {
  const long pixels = static_cast<long>(Width) * Height;
  return static_cast<int>((pixels + PixelsPerUniverse - 1) / PixelsPerUniverse);
}

const PixelTarget* LedApiConfig::Find(const std::string& host) const {
  auto addr = ParseIPv4(host);
  if (!addr) return nullptr;
  auto it = Targets.find(*addr);
  return it == Targets.end() ? nullptr : &it->second;
}

namespace {

std::string Lower(std::string_view s) { return plat::FoldName(s); }

// Decimal digits only: no sign, no hexadecimal, no spaces inside.
bool Integer(const std::string& v, long lo, long hi, long& out) {
  if (v.empty() || v.size() > 9) return false;
  long n = 0;
  for (char c : v) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n < lo || n > hi) return false;
  out = n;
  return true;
}

// Digits with an optional fraction ("2.2", "8", "0.5").
bool Decimal(const std::string& v, double lo, double hi, double& out) {
  if (v.empty() || v.size() > 12 || v.front() == '.' || v.back() == '.') return false;
  double n = 0, scale = 0;
  for (char c : v) {
    if (c == '.') {
      if (scale) return false;
      scale = 1;
      continue;
    }
    if (c < '0' || c > '9') return false;
    if (scale) n += (c - '0') * (scale /= 10);
    else n = n * 10 + (c - '0');
  }
  if (n < lo || n > hi) return false;
  out = n;
  return true;
}

struct Section {
  uint32_t Addr = 0;
  int Line = 0;
  PixelTarget T;
  std::map<std::string, int> Seen;  // key -> line
};

class Reader {
 public:
  Reader(const std::string& file, LedApiConfig& out, std::string& error) : file_(file), out_(out), error_(error) {}

  bool Run(const std::string& text) {
    std::string_view body = text;
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    int n = 0;
    for (const std::string& raw : plat::SplitLines(body)) {
      line_ = ++n;
      if (!Line(raw)) return false;
    }
    return Close();
  }

 private:
  bool Fail(int line, const std::string& why) {
    error_ = file_ + ", line " + std::to_string(line) + ": " + why;
    out_.Targets.clear();
    return false;
  }
  bool Fail(const std::string& why) { return Fail(line_, why); }

  bool Line(const std::string& raw) {
    std::string_view s = plat::TrimView(raw);
    if (s.empty() || s.front() == ';' || s.front() == '#') return true;
    if (s.front() == '[') {
      if (s.back() != ']') return Fail("a section name must end in \"]\"");
      if (!Close()) return false;
      const std::string name = plat::Trim(s.substr(1, s.size() - 2));
      auto addr = ParseIPv4(name);
      if (!addr) return Fail("section \"" + name + "\" is not a screen address such as 192.168.1.60");
      if (out_.Targets.count(*addr) || (cur_ && cur_->Addr == *addr))
        return Fail("a second section for " + FormatIPv4(*addr));
      cur_ = Section{*addr, line_, {}, {}};
      return true;
    }
    const size_t eq = s.find('=');
    if (eq == std::string_view::npos) return Fail("expected \"key = value\" or a [section]");
    if (!cur_) return Fail("a setting before the first [section]");
    const std::string key = Lower(plat::TrimView(s.substr(0, eq)));
    std::string_view value = s.substr(eq + 1);
    // A comment may follow the value after a blank.
    for (size_t i = 1; i < value.size(); ++i) {
      if ((value[i] == ';' || value[i] == '#') && (value[i - 1] == ' ' || value[i - 1] == '\t')) {
        value = value.substr(0, i);
        break;
      }
    }
    const std::string v = plat::Trim(value);
    if (key.empty()) return Fail("a value without a key");
    if (cur_->Seen.count(key)) return Fail(key + " is given twice in this section");
    cur_->Seen[key] = line_;
    return Key(key, v);
  }

  bool Key(const std::string& key, const std::string& v) {
    PixelTarget& t = cur_->T;
    long n = 0;
    double d = 0;
    const std::string lv = Lower(v);
    auto bad = [&](const std::string& what) { return Fail(key + ": \"" + v + "\" is not " + what); };
    if (key == "protocol") {
      if (lv == "own") t.Kind = Protocol::Own;
      else if (lv == "e131") t.Kind = Protocol::E131;
      else if (lv == "artnet") t.Kind = Protocol::ArtNet;
      else if (lv == "ddp") t.Kind = Protocol::Ddp;
      else return bad("one of own, e131, artnet, ddp");
    } else if (key == "port") {
      if (!Integer(v, 1, 65535, n)) return bad("a port number 1..65535");
      t.Port = static_cast<uint16_t>(n);
    } else if (key == "universe") {
      if (!Integer(v, 0, kE131MaxUniverse, n)) return bad("a universe number (e131 1..63999, artnet 0..32767)");
      t.Universe = static_cast<int>(n);
    } else if (key == "pixels_per_universe") {
      if (!Integer(v, 1, 170, n)) return bad("a pixel count 1..170");
      t.PixelsPerUniverse = static_cast<int>(n);
    } else if (key == "width" || key == "height") {
      if (!Integer(v, 1, 4096, n)) return bad("a size in LEDs 1..4096");
      (key == "width" ? t.Width : t.Height) = static_cast<int>(n);
    } else if (key == "channel_order") {
      auto order = ParseChannelOrder(v);
      if (!order) return bad("a colour order such as RGB, GRB or BGR");
      t.Wire.Channels = *order;
    } else if (key == "layout") {
      if (lv == "rows") t.Wire.Order = Layout::Rows;
      else if (lv == "serpentine") t.Wire.Order = Layout::Serpentine;
      else return bad("rows or serpentine");
    } else if (key == "mirror") {
      if (lv == "none") t.Wire.MirrorX = t.Wire.MirrorY = false;
      else if (lv == "horizontal") t.Wire.MirrorX = true, t.Wire.MirrorY = false;
      else if (lv == "vertical") t.Wire.MirrorX = false, t.Wire.MirrorY = true;
      else if (lv == "both") t.Wire.MirrorX = t.Wire.MirrorY = true;
      else return bad("none, horizontal, vertical or both");
    } else if (key == "gamma") {
      if (!Decimal(v, 0.5, 4.0, d)) return bad("a gamma 0.5..4.0 (1 leaves the picture as it is)");
      t.Gamma = d;
    } else if (key == "repeat_ms") {
      if (!Integer(v, 0, 60000, n) || (n != 0 && n < 20)) return bad("0 (no repeat) or a period 20..60000 ms");
      t.RepeatMs = static_cast<int>(n);
    } else if (key == "packets_per_ms") {
      if (!Decimal(v, 0.01, 1000.0, d)) return bad("a pace 0.01..1000 packets a millisecond");
      t.PacketsPerMs = d;
    } else if (key == "sync_universe") {
      if (!Integer(v, 0, kE131MaxUniverse, n)) return bad("0 (off) or a universe 1..63999");
      t.SyncUniverse = static_cast<int>(n);
    } else if (key == "priority") {
      if (!Integer(v, 0, 200, n)) return bad("a priority 0..200");
      t.Priority = static_cast<int>(n);
    } else if (key == "source_name") {
      if (v.empty() || v.size() > 63) return bad("a name of 1..63 bytes");
      t.SourceName = v;
    } else if (key == "key") {
      // Never repeated in a message: it is a secret.
      std::string why;
      auto k = ParseKeyText(v, why);
      if (!k) return Fail("key: " + why);
      t.Key = *k;
      t.KeyLine = line_;
    } else if (key == "keyfile") {
      if (v.empty()) return Fail("keyfile: a file name is needed");
      t.KeyFile = v;
      t.KeyLine = line_;
    } else if (key == "cid") {
      auto id = ParseCid(v);
      if (!id) return bad("an identifier such as 6f1c2e3a-0b4d-4e5f-8a9b-0c1d2e3f4a5b");
      t.Id = *id;
    } else {
      return Fail("unknown setting \"" + key + "\"");
    }
    return true;
  }

  // Settings that only make sense together are checked when the section is
  // complete, against the line of the setting that does not fit.
  bool Close() {
    if (!cur_) return true;
    Section s = std::move(*cur_);
    cur_.reset();
    const PixelTarget& t = s.T;
    auto lineOf = [&](const char* key) {
      auto it = s.Seen.find(key);
      return it == s.Seen.end() ? s.Line : it->second;
    };
    auto has = [&](const char* key) { return s.Seen.count(key) > 0; };
    const char* name = ProtocolName(t.Kind);
    if (t.Kind == Protocol::Own) {
      for (const auto& [key, line] : s.Seen)
        if (key != "protocol" && key != "key" && key != "keyfile")
          return Fail(line, key + " has no meaning for our own protocol");
      if (has("key") && has("keyfile")) return Fail(lineOf("keyfile"), "key and keyfile: give one of them, not both");
    } else {
      for (const char* key : {"key", "keyfile"})
        if (has(key)) return Fail(lineOf(key), std::string(key) + " has no meaning for " + name);
    }
    if (t.Kind == Protocol::Ddp) {
      for (const char* key : {"universe", "pixels_per_universe", "sync_universe"})
        if (has(key)) return Fail(lineOf(key), std::string(key) + " has no meaning for ddp");
    }
    if (t.Kind != Protocol::E131) {
      for (const char* key : {"sync_universe", "priority", "source_name", "cid"})
        if (has(key)) return Fail(lineOf(key), std::string(key) + " has no meaning for " + name);
    }
    if (t.Kind == Protocol::E131 || t.Kind == Protocol::ArtNet) {
      const int lo = t.Kind == Protocol::E131 ? kE131MinUniverse : 0;
      const int hi = t.Kind == Protocol::E131 ? kE131MaxUniverse : kArtMaxPortAddress;
      const int first = t.FirstUniverse(), last = first + t.UniverseCount() - 1;
      if (first < lo || first > hi)
        return Fail(lineOf("universe"), std::string("universe ") + std::to_string(first) + " is outside " +
                                            std::to_string(lo) + ".." + std::to_string(hi) + " for " + name);
      if (last > hi)
        return Fail(lineOf("universe"), "the board needs universes " + std::to_string(first) + ".." +
                                            std::to_string(last) + ", past " + std::to_string(hi));
      if (t.SyncUniverse && t.SyncUniverse >= first && t.SyncUniverse <= last)
        return Fail(lineOf("sync_universe"), "sync_universe " + std::to_string(t.SyncUniverse) +
                                                 " is one of the board's own universes");
    }
    out_.Targets.emplace(s.Addr, t);
    return true;
  }

  const std::string& file_;
  LedApiConfig& out_;
  std::string& error_;
  std::optional<Section> cur_;
  int line_ = 0;
};

}  // namespace

bool ParseLedApiIni(const std::string& text, const std::string& fileName, LedApiConfig& out, std::string& error) {
  out.Targets.clear();
  error.clear();
  return Reader(fileName, out, error).Run(text);
}

bool ReadLedApiIniFile(const std::string& path, LedApiConfig& out, std::string& error) {
  out.Targets.clear();
  error.clear();
  const std::filesystem::path p(std::u8string(path.begin(), path.end()));
  std::error_code ec;
  if (!std::filesystem::exists(p, ec) && !ec) return true;
  std::ifstream f(p, std::ios::binary);
  if (!f) {
    error = path + ": cannot be read";
    return false;
  }
  std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (text.size() > (1u << 20)) {
    error = path + ": larger than 1 MiB, not a settings file";
    return false;
  }
  return ParseLedApiIni(text, path, out, error);
}

}  // namespace ledp
