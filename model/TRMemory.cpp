#include "TRMemory.h"

#include <cstdint>
#include <sys/mman.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

void trAdviseLargePages(void *data, std::size_t size)
{
#if defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kBlock = std::uintptr_t(2) << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + kBlock - 1) & ~(kBlock - 1);
    const std::uintptr_t last = (start + size) & ~(kBlock - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

void trReleaseFreedMemory()
{
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}
