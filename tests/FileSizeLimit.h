// A lowered limit on the largest file this process may write, for the stores' tests of a disk
// that fills up while a file is written.
#pragma once

#include <sys/resource.h>

#include <csignal>

// Lowers the largest file this process may write, so that a save fails in the middle of writing
// its file, as it would on a full disk. Works with root rights too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails instead of killing us
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lowered = old_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
};
