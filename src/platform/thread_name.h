// The names the program's own threads carry in the system's tools (top -H,
// perf, gdb), so that each one's share of the time can be told apart.
#pragma once

#include <pthread.h>

namespace qv {

// At most 15 characters.
inline void NameThisThread(const char* name) {
    pthread_setname_np(pthread_self(), name);
}

}  // namespace qv
