// A simulated screen served on a UDP socket by a thread of its own. Every
// kind of screen binds, serves and stops the same way and publishes its
// picture to the same PNG files and hooks; a server adds only what a
// datagram does to its screen core. The thread calls into the server, so
// each server calls Stop() in its own destructor, while its members still
// live (one that does not ends the program, as a running std::thread does).
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ledapi/net/udp.h"
#include "ui/core/raster.h"

namespace ledscreen {

// Where a screen listens and where it writes what it shows.
struct ServiceOptions {
  ServiceOptions() = default;
  explicit ServiceOptions(uint16_t port) : Port(port) {}
  uint32_t BindAddr = ledp::net::kLoopback;
  uint16_t Port = 0;               // 0: any free port
  std::string SnapshotPath;        // PNG of the screen, rewritten on every change
  std::string ViewPath;            // optional PNG of the LED-dot view
  int ViewPitch = 3;
};

class ScreenService {
 public:
  ScreenService(const ScreenService&) = delete;
  ScreenService& operator=(const ScreenService&) = delete;

  // Binds, lets the server show its first picture and starts serving.
  // False (with a reason in Error()) when the port cannot be had.
  bool Start();
  void Stop();
  uint16_t Port() const { return port_; }
  const std::string& Error() const { return error_; }

  // Called from the server thread: one line per event, and the new picture.
  std::function<void(const std::string&)> OnLog;
  std::function<void(const plat::Raster&)> OnPicture;

  plat::Raster Picture();
  int Changes() const { return changes_; }  // pictures published

 protected:
  explicit ScreenService(ServiceOptions where) : where_(std::move(where)) {}
  virtual ~ScreenService() = default;

  void Publish(const plat::Raster& pic);
  // Whether `pic` is the picture already published.
  bool Shows(const plat::Raster& pic);
  void Log(const std::vector<std::string>& lines);
  void Send(const ledp::Endpoint& to, const std::vector<uint8_t>& bytes);

 private:
  // In Start, before the thread runs: publish the first picture.
  virtual void Opened() = 0;
  // On the thread: each datagram; then, once none is waiting or the wait
  // has run out, Drained(); WaitMs() bounds each wait.
  virtual void Received(const uint8_t* data, size_t size, const ledp::Endpoint& from) = 0;
  virtual void Drained() {}
  virtual int WaitMs() { return 200; }

  void Run();

  ServiceOptions where_;
  ledp::net::UdpSocket sock_;
  uint16_t port_ = 0;
  std::string error_;
  std::mutex mu_;
  plat::Raster picture_;
  std::atomic<int> changes_{0};
  std::atomic<bool> stop_{false};
  std::thread worker_;
};

}  // namespace ledscreen
