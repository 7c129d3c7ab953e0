// The authenticated format checked by a computation nobody here wrote: the
// openssl command line recomputes the MACs and the session key of captured
// datagrams from the bytes docs/protocol.md names, and the digest of the
// program a screen shows. Native only (the tool is not in the Windows tree).
#include <gtest/gtest.h>

#ifndef _WIN32
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "ledapi/core/link_engine.h"
#include "ledapi/core/program.h"
#include "ledscreen/core/screen.h"
#include "screenlink/core/led_records.h"

using namespace ledp;

namespace {

std::string Hex(const uint8_t* p, size_t n) {
  static const char d[] = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < n; ++i) (s += d[p[i] >> 4]) += d[p[i] & 15];
  return s;
}

// `openssl dgst -sha256 [-mac HMAC -macopt hexkey:KEY]` over the bytes; the hex digest.
std::string OpenSsl(const std::vector<uint8_t>& bytes, const std::string& hexKey = "") {
  const auto file = std::filesystem::temp_directory_path() / ("ledp-dgst-" + std::to_string(getpid()));
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::string cmd = "openssl dgst -sha256 ";
  if (!hexKey.empty()) cmd += "-mac HMAC -macopt hexkey:" + hexKey + " ";
  cmd += "'" + file.string() + "' 2>&1";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[512];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  std::filesystem::remove(file);
  const size_t eq = out.rfind("= ");
  return eq == std::string::npos ? "no digest: " + out : out.substr(eq + 2, 64);
}

std::vector<uint8_t> WithoutMac(const std::vector<uint8_t>& d) { return {d.begin(), d.end() - auth::kMacSize}; }
std::string MacOf(const std::vector<uint8_t>& d) { return Hex(d.data() + d.size() - auth::kMacSize, auth::kMacSize); }

}  // namespace

TEST(AuthOpenSsl, CapturedMacsSessionKeyAndShownDigestAgreeWithTheOpensslTool) {
  if (std::system("openssl version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no openssl command";
  crypto::Key key;
  for (size_t i = 0; i < key.size(); ++i) key[i] = static_cast<uint8_t>(0xA0 + i);
  const std::string hexKey = Hex(key.data(), key.size());
  ledscreen::ScreenConfig cfg;
  cfg.Key = key;
  ledscreen::Screen screen(cfg);
  LinkEngine link(1);
  const Endpoint me{0x7F000001, 8888}, it{0x7F000001, 6666};

  Program prog;
  prog.Pages.push_back({1000, {}});
  Window w;
  w.Area = {0, 0, 16, 8};
  w.Pixels = plat::Raster(16, 8, plat::RGBColor(200, 10, 30));
  prog.Pages[0].Windows.push_back(w);
  const std::vector<uint8_t> raw = SerializeProgram(prog);
  link.SendProgram(PackProgram(raw), 0, "127.0.0.1", 6666, 0, &key);

  // Opening, one chunk, the final acknowledgement: every datagram kept.
  std::vector<std::vector<uint8_t>> up, down;
  for (int round = 0; round < 4; ++round) {
    for (auto& o : link.TakeOutgoing()) {
      up.push_back(o.Bytes);
      screen.OnDatagram(o.Bytes.data(), o.Bytes.size(), me, round, 0);
    }
    for (auto& r : screen.TakeReplies()) {
      down.push_back(r.Bytes);
      link.OnDatagram(r.Bytes.data(), r.Bytes.size(), it, round);
    }
  }
  auto notices = link.TakeNotices();
  ASSERT_EQ(notices.size(), 1u);
  ASSERT_EQ(notices[0].Kind, led::kKindSendDone);
  ASSERT_EQ(up.size(), 2u);
  ASSERT_EQ(down.size(), 2u);
  const auto &open = up[0], &chunk = up[1], &openAck = down[0], &done = down[1];

  // The opening is under the screen's key.
  EXPECT_EQ(OpenSsl(WithoutMac(open), hexKey).substr(0, 32), MacOf(open));

  // The session key: HMAC under the screen's key of the label, the session
  // number and both nonces, as they stand in the two datagrams.
  std::vector<uint8_t> label = {'L', 'E', 'D', 'P', '2', ' ', 's', 'e', 's', 's', 'i', 'o', 'n'};
  label.insert(label.end(), open.begin() + 8, open.begin() + 12);                                    // session
  label.insert(label.end(), open.begin() + auth::kHeaderSize, open.begin() + auth::kHeaderSize + 16);  // link nonce
  label.insert(label.end(), openAck.begin() + auth::kHeaderSize + 16,
               openAck.begin() + auth::kHeaderSize + 32);  // screen nonce
  const std::string sessionKey = OpenSsl(label, hexKey);
  ASSERT_EQ(sessionKey.size(), 64u) << sessionKey;

  for (const auto* d : {&openAck, &chunk, &done}) EXPECT_EQ(OpenSsl(WithoutMac(*d), sessionKey).substr(0, 32), MacOf(*d));

  // The final acknowledgement's digest is the SHA-256 of the program bytes.
  const size_t digestAt = done.size() - auth::kMacSize - crypto::kDigestSize;
  EXPECT_EQ(Hex(done.data() + digestAt, crypto::kDigestSize), OpenSsl(raw));
}

#endif
