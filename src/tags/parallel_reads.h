// Reading many files' tags on all cores: the files are shared out in small
// runs, and the call returns when all are read, so its callers stay on one thread.
#pragma once

#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace qv {

// Calls read(i) for every i below count, from this thread and a few helpers;
// read returns false to have the files not yet begun left unread.
template <typename Read>
void ReadInParallel(qsizetype count, Read read) {
    std::atomic<qsizetype> next{0};
    std::atomic<bool> stop{false};
    // Files are taken in small runs, so a slow one (a cold disk, a large
    // MP4) holds up one reader only, and no reader waits for long on the
    // shared counter.
    constexpr qsizetype kRun = 16;
    auto reader = [&] {
        for (qsizetype start; !stop && (start = next.fetch_add(kRun)) < count;) {
            for (qsizetype i = start; i < std::min(start + kRun, count) && !stop; ++i)
                if (!read(i)) stop = true;
        }
    };
    // A thread costs more than reading a few dozen files.
    const qsizetype helpers = std::min<qsizetype>(
        std::max(1u, std::thread::hardware_concurrency()) - 1, std::min<qsizetype>(count / 256, 7));
    std::vector<std::thread> threads;
    try {
        for (qsizetype i = 0; i < helpers; ++i) threads.emplace_back(reader);
    } catch (const std::system_error&) {
        // No more threads to be had: the ones started and this one read it all.
    }
    reader();
    for (std::thread& t : threads) t.join();
}

}  // namespace qv
