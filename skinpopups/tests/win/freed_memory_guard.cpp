// The test program's operator new and delete, with the keeping of freed
// blocks that FreedMemoryGuard switches on. Every block carries a small
// header with its size, so that a kept block can be filled and checked.
#include "skinpopups/tests/win/freed_memory_guard.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kMagic = 0x50A7F00Du;
constexpr unsigned char kFreed = 0xDD;
constexpr size_t kMaxKept = 1 << 16;

struct alignas(16) Header {
  size_t size;
  uint32_t magic;
};
static_assert(sizeof(Header) == 16);

std::atomic<int> g_guards{0};
std::atomic_flag g_lock = ATOMIC_FLAG_INIT;
Header* g_kept[kMaxKept];  // no allocation of its own: it lives in the image
size_t g_keptCount = 0;

struct Lock {
  Lock() {
    while (g_lock.test_and_set(std::memory_order_acquire)) {
    }
  }
  ~Lock() { g_lock.clear(std::memory_order_release); }
};

void* Allocate(size_t n) {
  auto* h = static_cast<Header*>(std::malloc(sizeof(Header) + (n ? n : 1)));
  if (!h) return nullptr;
  h->size = n;
  h->magic = kMagic;
  return h + 1;
}

void Release(void* p) {
  if (!p) return;
  Header* h = static_cast<Header*>(p) - 1;
  if (g_guards.load() > 0) {
    Lock lock;
    if (g_keptCount < kMaxKept) {
      std::memset(p, kFreed, h->size);
      g_kept[g_keptCount++] = h;
      return;
    }
  }
  h->magic = 0;
  std::free(h);
}

bool Touched(const Header* h) {
  const auto* b = reinterpret_cast<const unsigned char*>(h + 1);
  for (size_t i = 0; i < h->size; ++i)
    if (b[i] != kFreed) return true;
  return false;
}

}  // namespace

namespace memguard {

FreedMemoryGuard::FreedMemoryGuard() { ++g_guards; }

FreedMemoryGuard::~FreedMemoryGuard() {
  if (--g_guards > 0) return;
  Lock lock;
  for (size_t i = 0; i < g_keptCount; ++i) std::free(g_kept[i]);
  g_keptCount = 0;
}

int FreedMemoryGuard::TouchedBlocks() const {
  Lock lock;
  int n = 0;
  for (size_t i = 0; i < g_keptCount; ++i) n += Touched(g_kept[i]) ? 1 : 0;
  return n;
}

int FreedMemoryGuard::KeptBlocks() const {
  Lock lock;
  return static_cast<int>(g_keptCount);
}

}  // namespace memguard

void* operator new(size_t n) {
  if (void* p = Allocate(n)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t n) { return operator new(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
