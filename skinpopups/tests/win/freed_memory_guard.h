// Use-after-free detection for the Windows tests, where the sanitizers do
// not run. While a guard lives, memory given back through operator delete is
// filled with 0xDD and kept instead of freed: a read through a freed pointer
// meets the pattern (a pointer made of it faults, a virtual call through it
// crashes) and a write shows when the guard checks the kept blocks.
#pragma once

namespace memguard {

class FreedMemoryGuard {
 public:
  FreedMemoryGuard();
  ~FreedMemoryGuard();  // frees what it kept
  FreedMemoryGuard(const FreedMemoryGuard&) = delete;
  FreedMemoryGuard& operator=(const FreedMemoryGuard&) = delete;

  // Kept blocks written to since they were freed.
  int TouchedBlocks() const;
  // Blocks kept so far (freed while the guard lives).
  int KeptBlocks() const;
};

}  // namespace memguard
