#pragma once
// Memory read once and done with: its whole pages go back to the system while the buffer lives.

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace bytes {

// Gives back the whole pages within [from, to) of memory this program owns and will not read
// before writing it again; where the pages given back end, or `from` when there were none.
inline const void* releaseInside(const void* from, const void* to) {
    const uintptr_t page = uintptr_t(::getpagesize());
    const uintptr_t first = (uintptr_t(from) + page - 1) / page * page;
    const uintptr_t last = uintptr_t(to) / page * page;
    if (last <= first) return from;
    ::madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
    return reinterpret_cast<const void*>(last);
}

}  // namespace bytes
