// The screen's hashing thread: what it gives is SHA-256 of everything handed
// to a job, whatever else it works on meanwhile, and it ends cleanly with
// work still waiting.
#include "ledscreen/core/hash_worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using ledscreen::HashWorker;

namespace {

std::vector<uint8_t> Bytes(size_t n, uint32_t seed) {
  std::vector<uint8_t> v(n);
  std::mt19937 rng(seed);
  for (auto& b : v) b = static_cast<uint8_t>(rng());
  return v;
}

}  // namespace

class HashWorkerBothWays : public ::testing::TestWithParam<bool> {};

// With its own thread, and hashing on the caller's (what it falls back to when
// the system has no thread to give).
TEST_P(HashWorkerBothWays, JobsHandedInPiecesAndInterleavedGiveTheOneShotDigest) {
  HashWorker worker(GetParam());
  std::vector<std::vector<uint8_t>> data;
  std::vector<HashWorker::JobRef> jobs;
  for (uint32_t j = 0; j < 4; ++j) {
    data.push_back(Bytes(100000 + 7777 * j, j));
    jobs.push_back(worker.Start());
  }
  // All but the last few thousand bytes handed over, in pieces of any size;
  // those last ones at the finish.
  std::mt19937 rng(9);
  const size_t tail = 5000;
  std::vector<size_t> at(jobs.size(), 0);
  for (bool left = true; left;) {
    left = false;
    for (size_t j = 0; j < jobs.size(); ++j) {
      const size_t n = std::min<size_t>(1 + rng() % 40000, data[j].size() - tail - at[j]);
      worker.Add(jobs[j], data[j].data() + at[j], n);
      at[j] += n;
      left = left || at[j] < data[j].size() - tail;
    }
  }
  for (size_t j = 0; j < jobs.size(); ++j) {
    const auto whole = ledp::crypto::Sha256(data[j].data(), data[j].size());
    EXPECT_EQ(worker.Finish(jobs[j], data[j].data() + at[j], tail), whole) << j;
  }
  // Finished at once, with most of it still waiting: the caller hashes that.
  const auto big = Bytes(1u << 20, 7);
  auto hurried = worker.Start();
  for (size_t at = 0; at < big.size(); at += 65536) worker.Add(hurried, big.data() + at, 65536);
  EXPECT_EQ(worker.Finish(hurried), ledp::crypto::Sha256(big.data(), big.size()));
  // Nothing handed over at all is the digest of nothing.
  EXPECT_EQ(worker.Finish(worker.Start()), ledp::crypto::Sha256(nullptr, 0));
}

INSTANTIATE_TEST_SUITE_P(OwnThreadOrNot, HashWorkerBothWays, ::testing::Bool());

TEST(HashWorker, EndsWithWorkWaitingAndJobsLetGoOf) {
  const auto big = Bytes(1u << 20, 3);
  for (int round = 0; round < 3; ++round) {
    HashWorker worker;
    auto kept = worker.Start();
    for (int i = 0; i < 8; ++i) worker.Add(kept, big.data(), big.size());
    worker.Add(worker.Start(), big.data(), big.size());  // a job nobody finishes
  }  // destroyed with pieces still queued: no hang, nothing leaked (ASan)
}
