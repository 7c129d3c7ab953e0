// An authenticated board send against a plain one in the same run: the link
// engine on a real loopback socket, the screen in its server thread,
// straight or through the relay losing 20% of the datagrams each way. One
// iteration is one send, from the call to the report: with `whole`, as the
// library makes it from the program (serialised and packed, then sent, as
// LED_SendToScreen does); without, from the packed bytes, the link alone.
// The session is opened once, before the timing, as a link keeps it between
// sends. Counter cpu_ms: the CPU time of the whole process per send.
//   Args: {keyed 0/1, loss percent, board (0 text-like, 1 noise), whole 0/1}
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <random>

#include "ledapi/core/link_engine.h"
#include "ledapi/core/program.h"
#include "ledscreen/host/relay.h"
#include "ledscreen/host/server.h"
#include "screenlink/core/led_records.h"

namespace {

const ledp::crypto::Key kKey = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6,
                                7, 8, 9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2};

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// A board: the program, and as the library has it for a send.
struct Board {
  ledp::Program Program;
  std::vector<uint8_t> Raw, Packed;
};

Board MakeBoard(int kind, uint32_t seed) {
  plat::Raster r(512, 96);
  std::mt19937 rng(seed);
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 512; ++x)
      if (kind == 1 || ((x / 24 + y / 12 + seed) % 7 == 0)) r.SetPixel(x, y, rng() & 0xFFFFFF);
  ledp::Program p;
  p.Pages.push_back({200000, {}});
  ledp::Window w;
  w.Area = {0, 0, 512, 96};
  w.Pixels = r;
  p.Pages[0].Windows.push_back(std::move(w));
  Board b{p, ledp::SerializeProgram(p), {}};
  b.Packed = ledp::PackProgram(b.Raw);
  return b;
}

// Runs the engine on its socket until it has reported; the report's kind.
int Drive(ledp::LinkEngine& engine, ledp::net::UdpSocket& sock) {
  uint8_t buf[2048];
  for (;;) {
    do {
      for (auto& o : engine.TakeOutgoing()) sock.SendTo(o.To, o.Bytes.data(), o.Bytes.size());
    } while (engine.LetOutWindows(NowMs()));
    auto n = engine.TakeNotices();
    if (!n.empty()) return n.back().Kind;
    // As the library's worker: spare work while nothing has come in.
    ledp::Endpoint from;
    int got = sock.RecvFrom(buf, sizeof buf, from, 0);
    while (got == -1 && engine.OnIdle()) got = sock.RecvFrom(buf, sizeof buf, from, 0);
    if (got == -1) {
      const int64_t next = engine.NextWakeup();
      const int wait = next == INT64_MAX ? 50 : static_cast<int>(std::clamp<int64_t>(next - NowMs(), 0, 50));
      got = sock.RecvFrom(buf, sizeof buf, from, wait);
    }
    while (got >= 0) {
      engine.OnDatagram(buf, static_cast<size_t>(got), from, NowMs());
      got = sock.RecvFrom(buf, sizeof buf, from, 0);
    }
    engine.OnTimer(NowMs());
  }
}

void BM_BoardSend(benchmark::State& state) {
  const bool keyed = state.range(0) != 0;
  const double loss = state.range(1) / 100.0;
  const bool whole = state.range(3) != 0;
  ledscreen::ScreenServer::Options o;
  o.Port = 0;
  if (keyed) o.Screen.Key = kKey;
  ledscreen::ScreenServer server(o);
  if (!server.Start()) return state.SkipWithError("screen");
  ledscreen::Relay relay({ledp::net::kLoopback, server.Port()}, {loss, loss, 0, 0, 77});
  if (loss > 0 && !relay.Start()) return state.SkipWithError("relay");
  const int port = loss > 0 ? relay.Port() : server.Port();
  ledp::net::UdpSocket sock;
  if (!sock.Bind(ledp::net::kLoopback, 0)) return state.SkipWithError("socket");
  ledp::LinkEngine engine(0x5EED);
  const ledp::crypto::Key* key = keyed ? &kKey : nullptr;
  std::vector<Board> boards;
  for (uint32_t i = 0; i < 8; ++i) boards.push_back(MakeBoard(static_cast<int>(state.range(2)), i));
  // The session (and the screen's first picture) before the timing.
  ledp::Request query;
  query.Command = led::kCmdQuery;
  engine.Command(query, "127.0.0.1", port, NowMs(), key);
  Drive(engine, sock);
  int failed = 0;
  size_t i = 0;
  // The CPU of every thread (link, screen, the screen's hashing): on a busy
  // machine it decides the wall time, and it does not depend on the load.
  const std::clock_t cpu = std::clock();
  for (auto _ : state) {
    const Board& b = boards[i++ % boards.size()];
    // Without `whole` the engine takes copies of bytes made before the timing.
    std::vector<uint8_t> raw = whole ? ledp::SerializeProgram(b.Program) : keyed ? b.Raw : std::vector<uint8_t>();
    std::vector<uint8_t> packed = whole ? ledp::PackProgram(raw) : b.Packed;
    if (keyed) engine.SendProgram(std::move(packed), 0, "127.0.0.1", port, NowMs(), key, std::move(raw));
    else engine.SendProgram(std::move(packed), 0, "127.0.0.1", port, NowMs());
    if (Drive(engine, sock) != led::kKindSendDone) ++failed;
  }
  state.counters["cpu_ms"] = benchmark::Counter(1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC,
                                                benchmark::Counter::kAvgIterations);
  state.counters["failed"] = failed;
  state.counters["datagrams"] =
      static_cast<double>(ledp::ChunkCountFor(static_cast<uint32_t>(boards[0].Packed.size())));
}

}  // namespace

BENCHMARK(BM_BoardSend)
    ->ArgNames({"keyed", "loss", "noise", "whole"})
    ->ArgsProduct({{0, 1}, {0, 20}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(0.5);

BENCHMARK_MAIN();
