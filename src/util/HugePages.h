// Huge pages for the large blocks of large documents.
#pragma once

#include <cstddef>

// Blocks at least this large are worth huge pages.
inline constexpr std::size_t kHugePagesFrom = std::size_t(4) << 20;

// Asks the system to back a new, untouched block with huge pages where it offers them on request:
// filling it then takes one page fault per 2 MiB instead of one per 4 KiB, which on machines
// where a fault is dear is most of the time of filling a large block. Does nothing elsewhere.
void AdviseHugePages(void *block, std::size_t size);
