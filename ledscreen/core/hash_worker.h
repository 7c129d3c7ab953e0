// SHA-256 of programs as they arrive, worked out on a thread of its own: the
// screen's thread goes on taking datagrams while the pieces before are
// hashed, and the final answer waits only for the hashing of the last one.
// On a screen that takes datagrams as fast as a link sends them, hashing on
// the same thread would add the whole program's hashing to every send.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "ledapi/core/crypto.h"

namespace ledscreen {

class HashWorker {
 public:
  struct Job;
  using JobRef = std::shared_ptr<Job>;

  // Without a thread of its own (or when the system cannot give one) every
  // piece is hashed as it is added: slower sends, the same digests.
  explicit HashWorker(bool ownThread = true) : ownThread_(ownThread) {}
  ~HashWorker();
  HashWorker(const HashWorker&) = delete;
  HashWorker& operator=(const HashWorker&) = delete;

  JobRef Start();
  // The next bytes of a job (copied). Waits while more than kMaxQueued bytes
  // are waiting to be hashed, so that a worker that falls behind cannot make
  // memory grow.
  void Add(const JobRef& job, const uint8_t* data, size_t size);
  // The digest of everything added to the job and then of `rest`: the last
  // few bytes, and any pieces the worker has not begun, are hashed on the
  // caller's thread, which would otherwise only wait for the worker to be
  // scheduled. The job is then used up.
  ledp::crypto::Digest Finish(const JobRef& job, const uint8_t* rest = nullptr, size_t restSize = 0);

  static constexpr size_t kMaxQueued = 16u << 20;

 private:
  void Run();

  std::mutex mu_;
  std::condition_variable work_, done_;
  std::deque<std::pair<JobRef, std::vector<uint8_t>>> queue_;
  size_t queued_ = 0;
  bool stop_ = false;
  bool ownThread_;
  std::thread thread_;  // started with the first piece
};

struct HashWorker::Job {
  ledp::crypto::Sha256Stream Stream;
  size_t Pending = 0;  // pieces added and not yet hashed
};

}  // namespace ledscreen
