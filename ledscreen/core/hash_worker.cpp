#include "ledscreen/core/hash_worker.h"

#include <system_error>

namespace ledscreen {

HashWorker::~HashWorker() {
  {
    std::lock_guard lock(mu_);
    stop_ = true;
  }
  work_.notify_all();
  if (thread_.joinable()) thread_.join();
}

HashWorker::JobRef HashWorker::Start() { return std::make_shared<Job>(); }

void HashWorker::Add(const JobRef& job, const uint8_t* data, size_t size) {
  if (size == 0) return;
  std::unique_lock lock(mu_);
  if (ownThread_ && !thread_.joinable()) {
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
      ownThread_ = false;  // out of threads: the screen goes on, hashing itself
    }
  }
  if (!ownThread_) {
    lock.unlock();
    job->Stream.Update(data, size);
    return;
  }
  done_.wait(lock, [&] { return queued_ < kMaxQueued; });
  queue_.emplace_back(job, std::vector<uint8_t>(data, data + size));
  queued_ += size;
  ++job->Pending;
  lock.unlock();
  work_.notify_one();
}

ledp::crypto::Digest HashWorker::Finish(const JobRef& job, const uint8_t* rest, size_t restSize) {
  std::vector<std::vector<uint8_t>> left;
  {
    std::unique_lock lock(mu_);
    // The pieces the worker has not begun are hashed here: on a busy
    // machine waiting for it to be scheduled can take longer than that.
    for (auto it = queue_.begin(); it != queue_.end();) {
      if (it->first != job) {
        ++it;
        continue;
      }
      queued_ -= it->second.size();
      --job->Pending;
      left.push_back(std::move(it->second));
      it = queue_.erase(it);
    }
    done_.notify_all();
    // The one it may be hashing comes before them.
    done_.wait(lock, [&] { return job->Pending == 0; });
  }
  for (const auto& piece : left) job->Stream.Update(piece.data(), piece.size());
  job->Stream.Update(rest, restSize);
  return job->Stream.Finish();
}

void HashWorker::Run() {
  std::unique_lock lock(mu_);
  for (;;) {
    work_.wait(lock, [&] { return stop_ || !queue_.empty(); });
    if (stop_) return;
    auto [job, bytes] = std::move(queue_.front());
    queue_.pop_front();
    // A job's pieces are hashed in the order they came, one at a time: only
    // this thread touches a stream while it has pieces pending.
    lock.unlock();
    job->Stream.Update(bytes.data(), bytes.size());
    lock.lock();
    queued_ -= bytes.size();
    --job->Pending;
    done_.notify_all();
  }
}

}  // namespace ledscreen
