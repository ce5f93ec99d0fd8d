// Makes writes fail part-way, as on a full disk: while one of these lives, no
// file of this process can grow past the given size (writes fail with EFBIG).
#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace qvtest {

class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        oldSignal_ = ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        ::signal(SIGXFSZ, oldSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool ok() const { return ok_; }

  private:
    rlimit old_{};
    sighandler_t oldSignal_ = SIG_DFL;
    bool ok_ = false;
};

}  // namespace qvtest
