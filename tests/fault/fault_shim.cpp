// Fault injection for korvan-fault.cgi: the program itself, linked with this
// file and with the engine's open call wrapped (-Wl,--wrap=sqlite3_open_v2).
//
// Right before the program opens its database, after it has configured the
// engine, the shim
//   - wraps whatever allocator the engine was given (the program's own, or
//     the engine's default under the address sanitizer) in one that can fail
//     the k-th allocation, and
//   - registers, as the default, a file layer over the real one that can fail
//     the k-th read, write, sync or lock, or kill the process there.
//
// Environment:
//   KORVAN_FAULT=KIND:K   KIND is read, write, full (a write that reports a
//                         full disk), sync, lock, file (any of the four file
//                         operations) or oom; K counts from 1. KIND+ (such
//                         as oom+:K) fails the K-th operation and every later
//                         one of its kind: memory or disk space that stays
//                         exhausted.
//   KORVAN_FAULT_KILL=1   raise SIGKILL at that point instead of failing it.
//   KORVAN_FAULT_REPORT=PATH
//                         at exit, one line to PATH:
//                         "read=N write=N sync=N lock=N file=N oom=N fired=0|1",
//                         the operations seen and whether the fault was hit.
//                         A test steps K until fired is 0.
#include <sqlite3.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int __real_sqlite3_open_v2(const char* filename, sqlite3** db, int flags,
                                      const char* vfs);

namespace {

enum Kind { kRead, kWrite, kSync, kLock, kFile, kOom, kKinds };
const char* const kKindNames[kKinds] = {"read", "write", "sync", "lock", "file", "oom"};

struct Plan {
  int kind = -1;  // nothing planned
  long k = 0;
  bool full = false;     // a failed write reports SQLITE_FULL
  bool persist = false;  // every operation from the k-th on fails
  bool kill = false;
};

Plan plan;
long counts[kKinds];
bool fired = false;
bool installed = false;
bool armed = false;  // the engine's own start-up is not counted

// Counts one operation of `kind` (file operations also as kFile) and tells
// whether it is the one to fail. At the kill point the process dies here.
bool hit(Kind kind) {
  if (!armed) return false;
  const long n = ++counts[kind];
  long nFile = 0;
  if (kind != kOom) nFile = ++counts[kFile];
  const long at = plan.kind == kFile ? nFile : n;
  const bool sameKind = plan.kind == kind || (plan.kind == kFile && kind != kOom);
  const bool due = sameKind && (plan.persist ? at >= plan.k : at == plan.k);
  if (!due) return false;
  fired = true;
  if (plan.kill) raise(SIGKILL);
  return true;
}

// ---- the allocator ---------------------------------------------------------

sqlite3_mem_methods inner;

void* faultMalloc(int n) { return hit(kOom) ? nullptr : inner.xMalloc(n); }
void faultFree(void* p) { inner.xFree(p); }
void* faultRealloc(void* p, int n) { return hit(kOom) ? nullptr : inner.xRealloc(p, n); }
int faultSize(void* p) { return inner.xSize(p); }
int faultRoundup(int n) { return inner.xRoundup(n); }
int faultInit(void*) { return inner.xInit(inner.pAppData); }
void faultShutdown(void*) { inner.xShutdown(inner.pAppData); }

const sqlite3_mem_methods kFaultMemory = {faultMalloc,  faultFree, faultRealloc,  faultSize,
                                          faultRoundup, faultInit, faultShutdown, nullptr};

// ---- the file layer --------------------------------------------------------

sqlite3_vfs* real = nullptr;

// Every file of the shim is the real layer's file right behind this header.
struct ShimFile {
  sqlite3_file base;
  sqlite3_file* inner;
};

sqlite3_file* innerOf(sqlite3_file* f) { return reinterpret_cast<ShimFile*>(f)->inner; }

int shimClose(sqlite3_file* f) {
  sqlite3_file* in = innerOf(f);
  return in->pMethods != nullptr ? in->pMethods->xClose(in) : SQLITE_OK;
}

// What a failed operation of `kind` returns.
int failure(int kind) {
  if (kind == kRead) return SQLITE_IOERR_READ;
  if (kind == kWrite) return plan.full ? SQLITE_FULL : SQLITE_IOERR_WRITE;
  return kind == kSync ? SQLITE_IOERR_FSYNC : SQLITE_IOERR_LOCK;
}

// Method M of the real file; with a kind K, counted and failed first when due.
template <auto M, int K = -1>
struct Forward;
template <class R, class... A, R (*sqlite3_io_methods::*M)(sqlite3_file*, A...), int K>
struct Forward<M, K> {
  static R call(sqlite3_file* f, A... a) {
    if constexpr (K >= 0) {
      if (hit(Kind(K))) return failure(K);
    }
    sqlite3_file* in = innerOf(f);
    return (in->pMethods->*M)(in, a...);
  }
};
template <auto M, int K = -1>
constexpr auto fwd = &Forward<M, K>::call;
using IO = sqlite3_io_methods;

// The shared-memory and memory-map members exist only where the real file
// has them (its methods' version), so they are taken per file.
// clang-format off
const IO ioV3 = {
    3, shimClose, fwd<&IO::xRead, kRead>, fwd<&IO::xWrite, kWrite>, fwd<&IO::xTruncate>,
    fwd<&IO::xSync, kSync>, fwd<&IO::xFileSize>, fwd<&IO::xLock, kLock>, fwd<&IO::xUnlock>,
    fwd<&IO::xCheckReservedLock>, fwd<&IO::xFileControl>, fwd<&IO::xSectorSize>,
    fwd<&IO::xDeviceCharacteristics>, fwd<&IO::xShmMap>, fwd<&IO::xShmLock>,
    fwd<&IO::xShmBarrier>, fwd<&IO::xShmUnmap>, fwd<&IO::xFetch>, fwd<&IO::xUnfetch>};
// clang-format on
IO withVersion(int version) {
  IO m = ioV3;
  m.iVersion = version;
  if (version < 3) m.xFetch = nullptr, m.xUnfetch = nullptr;
  if (version < 2) m.xShmMap = nullptr, m.xShmLock = nullptr, m.xShmBarrier = nullptr;
  if (version < 2) m.xShmUnmap = nullptr;
  return m;
}
const IO ioV2 = withVersion(2), ioV1 = withVersion(1);

int shimOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
  ShimFile* file = reinterpret_cast<ShimFile*>(f);
  file->base.pMethods = nullptr;
  file->inner = reinterpret_cast<sqlite3_file*>(file + 1);
  const int rc = real->xOpen(real, name, file->inner, flags, outFlags);
  const sqlite3_io_methods* methods = file->inner->pMethods;
  // The engine closes a file whose methods are set even when the open
  // failed, so they are set exactly when the real file has them.
  if (methods != nullptr) {
    file->base.pMethods = methods->iVersion >= 3 ? &ioV3 : methods->iVersion == 2 ? &ioV2 : &ioV1;
  }
  return rc;
}

sqlite3_vfs shimVfs;

void writeReport() {
  const char* path = getenv("KORVAN_FAULT_REPORT");
  if (path == nullptr || *path == '\0') return;
  FILE* out = fopen(path, "w");
  if (out == nullptr) return;
  for (int i = 0; i < kKinds; ++i) fprintf(out, "%s=%ld ", kKindNames[i], counts[i]);
  fprintf(out, "fired=%d\n", fired ? 1 : 0);
  fclose(out);
}

// Runs after the program's own exit work (its static objects close the
// database then), so those operations are counted too.
__attribute__((destructor)) void reportAtExit() {
  if (installed) writeReport();
}

[[noreturn]] void refuse(const char* what) {
  fprintf(stderr, "korvan-fault: %s\n", what);
  abort();
}

void readPlan() {
  const char* fault = getenv("KORVAN_FAULT");
  if (fault != nullptr && *fault != '\0') {
    const char* colon = strchr(fault, ':');
    if (colon == nullptr) refuse("KORVAN_FAULT must be KIND:K");
    std::string name(fault, colon);
    plan.persist = !name.empty() && name.back() == '+';
    if (plan.persist) name.pop_back();
    plan.full = name == "full";
    const std::string kind = plan.full ? "write" : name;
    for (int i = 0; i < kKinds; ++i) {
      if (kind == kKindNames[i]) plan.kind = i;
    }
    plan.k = strtol(colon + 1, nullptr, 10);
    if (plan.kind < 0 || plan.k < 1) refuse("KORVAN_FAULT: unknown kind or K below 1");
  }
  const char* kill = getenv("KORVAN_FAULT_KILL");
  plan.kill = kill != nullptr && strcmp(kill, "1") == 0;
}

// Installs the allocator and the file layer once, before the engine starts.
void install() {
  if (installed) return;
  readPlan();
  if (sqlite3_config(SQLITE_CONFIG_GETMALLOC, &inner) != SQLITE_OK ||
      sqlite3_config(SQLITE_CONFIG_MALLOC, &kFaultMemory) != SQLITE_OK) {
    refuse("the engine started before the fault allocator could be installed");
  }
  if (sqlite3_initialize() != SQLITE_OK) refuse("the engine did not start");
  real = sqlite3_vfs_find(nullptr);
  if (real == nullptr) refuse("no file layer");
  shimVfs = *real;
  shimVfs.iVersion = real->iVersion < 3 ? real->iVersion : 3;
  shimVfs.szOsFile = static_cast<int>(sizeof(ShimFile)) + real->szOsFile;
  shimVfs.zName = "korvan-fault";
  shimVfs.xOpen = shimOpen;
  if (sqlite3_vfs_register(&shimVfs, 1) != SQLITE_OK) refuse("cannot register the file layer");
  installed = true;
  armed = true;
}

}  // namespace

// Every open of the program comes here first.
extern "C" int __wrap_sqlite3_open_v2(const char* filename, sqlite3** db, int flags,
                                      const char* vfs) {
  install();
  return __real_sqlite3_open_v2(filename, db, flags, vfs);
}
