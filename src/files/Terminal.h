#pragma once

#include <cstdio>

namespace kalvex::files {

// Whether the stream writes to a terminal, where a line may be redrawn in place; not to a
// file or a pipe, which should receive nothing but results.
bool isTerminal(std::FILE* stream);

} // namespace kalvex::files
