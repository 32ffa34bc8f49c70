// Copies one of the program's "Binary" resources into memory of the effect's own.
#pragma once

#include <cstddef>

// 1, or 0 after reporting "<owner>> FindResource FAILED" for a missing resource or
// "<owner>> LoadResource FAILED" for one shorter than `bytes`; nothing is read past its end.
int CopyBinaryResource(int id, void* target, std::size_t bytes, const char* owner);
