// The program's allocation functions: large blocks get huge pages (see AdviseHugePages). The
// editing component keeps a document's text, its styles and its undo steps in blocks it allocates
// through operator new, so this reaches them too. Linked into the program, not the libraries.
#include "util/HugePages.h"

#include <cstdlib>
#include <new>

void *operator new(std::size_t size)
{
    void *block = std::malloc(size == 0 ? 1 : size);
    if (!block)
        throw std::bad_alloc();
    if (size >= kHugePagesFrom)
        AdviseHugePages(block, size);
    return block;
}

void operator delete(void *block) noexcept
{
    std::free(block);
}

void operator delete(void *block, std::size_t) noexcept
{
    std::free(block);
}
