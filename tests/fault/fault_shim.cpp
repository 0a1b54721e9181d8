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
int shimRead(sqlite3_file* f, void* buf, int amt, sqlite3_int64 off) {
  if (hit(kRead)) return SQLITE_IOERR_READ;
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xRead(in, buf, amt, off);
}
int shimWrite(sqlite3_file* f, const void* buf, int amt, sqlite3_int64 off) {
  if (hit(kWrite)) return plan.full ? SQLITE_FULL : SQLITE_IOERR_WRITE;
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xWrite(in, buf, amt, off);
}
int shimTruncate(sqlite3_file* f, sqlite3_int64 size) {
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xTruncate(in, size);
}
int shimSync(sqlite3_file* f, int flags) {
  if (hit(kSync)) return SQLITE_IOERR_FSYNC;
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xSync(in, flags);
}
int shimFileSize(sqlite3_file* f, sqlite3_int64* size) {
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xFileSize(in, size);
}
int shimLock(sqlite3_file* f, int level) {
  if (hit(kLock)) return SQLITE_IOERR_LOCK;
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xLock(in, level);
}
int shimUnlock(sqlite3_file* f, int level) {
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xUnlock(in, level);
}
int shimCheckReservedLock(sqlite3_file* f, int* out) {
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xCheckReservedLock(in, out);
}
int shimFileControl(sqlite3_file* f, int op, void* arg) {
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xFileControl(in, op, arg);
}
int shimSectorSize(sqlite3_file* f) {
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xSectorSize(in);
}
int shimDeviceCharacteristics(sqlite3_file* f) {
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xDeviceCharacteristics(in);
}
int shimShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** p) {
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xShmMap(in, page, size, extend, p);
}
int shimShmLock(sqlite3_file* f, int offset, int n, int flags) {
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xShmLock(in, offset, n, flags);
}
void shimShmBarrier(sqlite3_file* f) {
  sqlite3_file* in = innerOf(f);
  in->pMethods->xShmBarrier(in);
}
int shimShmUnmap(sqlite3_file* f, int deleteFlag) {
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xShmUnmap(in, deleteFlag);
}
int shimFetch(sqlite3_file* f, sqlite3_int64 off, int amt, void** p) {
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xFetch(in, off, amt, p);
}
int shimUnfetch(sqlite3_file* f, sqlite3_int64 off, void* p) {
  sqlite3_file* in = innerOf(f);
  return in->pMethods->xUnfetch(in, off, p);
}

// The shared-memory and memory-map members exist only where the real file
// has them (its methods' version), so they are taken per file.
sqlite3_io_methods ioV1 = {1,
                           shimClose,
                           shimRead,
                           shimWrite,
                           shimTruncate,
                           shimSync,
                           shimFileSize,
                           shimLock,
                           shimUnlock,
                           shimCheckReservedLock,
                           shimFileControl,
                           shimSectorSize,
                           shimDeviceCharacteristics,
                           nullptr,
                           nullptr,
                           nullptr,
                           nullptr,
                           nullptr,
                           nullptr};
sqlite3_io_methods ioV2 = [] {
  sqlite3_io_methods m = ioV1;
  m.iVersion = 2;
  m.xShmMap = shimShmMap;
  m.xShmLock = shimShmLock;
  m.xShmBarrier = shimShmBarrier;
  m.xShmUnmap = shimShmUnmap;
  return m;
}();
sqlite3_io_methods ioV3 = [] {
  sqlite3_io_methods m = ioV2;
  m.iVersion = 3;
  m.xFetch = shimFetch;
  m.xUnfetch = shimUnfetch;
  return m;
}();

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
  const char* spec = getenv("KORVAN_FAULT");
  if (spec != nullptr && *spec != '\0') {
    const char* colon = strchr(spec, ':');
    if (colon == nullptr) refuse("KORVAN_FAULT must be KIND:K");
    std::string name(spec, colon);
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
