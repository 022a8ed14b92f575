#pragma once

#include <cstddef>

// Hints to the system about large blocks of memory. Nothing depends on them: where the system cannot
// follow a hint, the program runs the same, only slower or larger.

// Asks for the whole 2 MiB blocks within a large buffer about to be filled to be backed by large pages:
// tens of MiB are then faulted in a few dozen times rather than thousands.
void trAdviseLargePages(void *data, std::size_t size);

// Hands the pages of freed memory back to the system, after a large transient allocation (a file's bytes,
// a reader's tables) is freed: otherwise the process keeps them resident.
void trReleaseFreedMemory();
