#include "store/engine_memory.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace korvan {

namespace {

// Every block starts with a header: its size class, or kLarge and the size
// of a block taken from the heap on its own. Eight bytes keep the engine's
// 8-byte alignment.
constexpr size_t kHeader = 8;
constexpr std::uint64_t kLarge = 0xff;
// Small blocks, header included, are 32 << c bytes for the classes c.
constexpr int kClasses = 7;  // up to 2 KiB
constexpr size_t kSmallest = 32;
constexpr size_t kChunk = 32 * 1024;

// The heap behind the pools and the large blocks. The engine expects a null
// pointer, not an exception, when memory runs out.
char* heapTake(size_t bytes) { return static_cast<char*>(::operator new(bytes, std::nothrow)); }
void heapGive(char* block) { ::operator delete(block); }

struct Pools {
  void* free[kClasses];  // each free block holds the next one
  char* next;            // the unused rest of the current chunk
  char* end;
};
thread_local Pools pools;  // zero-filled: no lists, no chunk

size_t classSize(int c) { return kSmallest << c; }

int classOf(size_t block) {
  int c = 0;
  while (classSize(c) < block) ++c;
  return c;
}

std::uint64_t& headerOf(void* p) {
  return *reinterpret_cast<std::uint64_t*>(static_cast<char*>(p) - kHeader);
}

size_t capacityOf(void* p) {
  const std::uint64_t header = headerOf(p);
  return (header & 0xff) == kLarge ? static_cast<size_t>(header >> 8)
                                   : classSize(static_cast<int>(header)) - kHeader;
}

void* allocate(int n) {
  const size_t size = n > 0 ? static_cast<size_t>(n) : 1;
  const size_t block = size + kHeader;
  if (block > classSize(kClasses - 1)) {
    const size_t rounded = (size + 7) & ~size_t{7};
    char* base = heapTake(rounded + kHeader);
    if (base == nullptr) return nullptr;
    *reinterpret_cast<std::uint64_t*>(base) = (std::uint64_t{rounded} << 8) | kLarge;
    return base + kHeader;
  }
  const int c = classOf(block);
  char* base = static_cast<char*>(pools.free[c]);
  if (base != nullptr) {
    pools.free[c] = *reinterpret_cast<void**>(base);
  } else {
    if (pools.end - pools.next < static_cast<std::ptrdiff_t>(classSize(c))) {
      // The rest of the old chunk is left unused: less than one block.
      char* chunk = heapTake(kChunk);
      if (chunk == nullptr) return nullptr;
      pools.next = chunk;
      pools.end = chunk + kChunk;
    }
    base = pools.next;
    pools.next += classSize(c);
  }
  *reinterpret_cast<std::uint64_t*>(base) = static_cast<std::uint64_t>(c);
  return base + kHeader;
}

void release(void* p) {
  if (p == nullptr) return;
  char* base = static_cast<char*>(p) - kHeader;
  const std::uint64_t header = *reinterpret_cast<std::uint64_t*>(base);
  if ((header & 0xff) == kLarge) {
    heapGive(base);
    return;
  }
  const int c = static_cast<int>(header);
  *reinterpret_cast<void**>(base) = pools.free[c];
  pools.free[c] = base;
}

void* resize(void* p, int n) {
  if (p == nullptr) return allocate(n);
  const size_t old = capacityOf(p);
  const size_t size = n > 0 ? static_cast<size_t>(n) : 1;
  if (size <= old && (headerOf(p) & 0xff) != kLarge) return p;
  void* moved = allocate(n);
  if (moved == nullptr) return nullptr;  // the engine keeps the old block
  std::memcpy(moved, p, old < size ? old : size);
  release(p);
  return moved;
}

int sizeOf(void* p) { return p != nullptr ? static_cast<int>(capacityOf(p)) : 0; }

int roundUp(int n) {
  const size_t size = n > 0 ? static_cast<size_t>(n) : 1;
  if (size + kHeader > classSize(kClasses - 1)) return static_cast<int>((size + 7) & ~size_t{7});
  return static_cast<int>(classSize(classOf(size + kHeader)) - kHeader);
}

int start(void*) { return SQLITE_OK; }
void stop(void*) {}

const sqlite3_mem_methods kMethods = {allocate, release, resize, sizeOf,
                                      roundUp,  start,   stop,   nullptr};

}  // namespace

const sqlite3_mem_methods& engineMemory() { return kMethods; }

void useEngineMemory() {
#if defined(__SANITIZE_ADDRESS__)
  return;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return;
#endif
#endif
  sqlite3_config(SQLITE_CONFIG_MALLOC, &kMethods);
}

}  // namespace korvan
