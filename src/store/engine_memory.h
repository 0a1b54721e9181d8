// The memory of the database engine. The distribution builds the engine
// without its own cache of small blocks (lookaside), so preparing and running
// statements costs a few thousand heap allocations and releases per request, most
// of them for blocks under a few hundred bytes that live for one statement.
// This allocator serves blocks up to 2 KiB from per-size free lists carved out
// of larger chunks, and the rest from the heap (nothrow operator new).
#pragma once

#include <sqlite3.h>

namespace korvan {

// The allocator's methods, for sqlite3_config(SQLITE_CONFIG_MALLOC). Blocks
// are 8-byte aligned; a block's size (xSize) is what was asked rounded up to
// its size class. Each thread has its own free lists; a block may be freed by
// any thread. Chunks go back to the system only when the process ends.
const sqlite3_mem_methods& engineMemory();

// Makes the engine use engineMemory(). Only possible before the engine first
// starts; afterwards it changes nothing. Builds with the address sanitizer
// keep the system allocator, so that it sees every block the engine hands out.
void useEngineMemory();

}  // namespace korvan
