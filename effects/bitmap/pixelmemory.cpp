#include "effects/bitmap/pixelmemory.h"

#include <sys/mman.h>
#include <unistd.h>

namespace luxmemory {

TluxColor* allocatePixels(size_t bytes, size_t& mapped)
{
    mapped = 0;
    if (bytes == 0)
        return nullptr;
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    const size_t size = (bytes + page - 1) / page * page;
    void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    mapped = size;
    return static_cast<TluxColor*>(p);
}

void freePixels(TluxColor* pixels, size_t mapped)
{
    if (pixels && mapped)
        munmap(pixels, mapped);
}

} // namespace luxmemory
