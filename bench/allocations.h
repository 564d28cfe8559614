// allocation count of the benchmark program: every malloc, calloc and realloc so far.
#pragma once

namespace vurkhold::bench {

long allocations();

}  // namespace vurkhold::bench
