#include <sys/resource.h>

#include <csignal>

#include "tests/support/test_support.h"

namespace testsupport {

FileSizeLimit::FileSizeLimit(unsigned long long bytes)
{
    rlimit saved{};
    if (getrlimit(RLIMIT_FSIZE, &saved) != 0) return;
    savedCurrent_ = saved.rlim_cur;
    savedMax_ = saved.rlim_max;
    savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{static_cast<rlim_t>(bytes), saved.rlim_max};
    set_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    if (savedHandler_ == nullptr) return;
    const rlimit saved{static_cast<rlim_t>(savedCurrent_), static_cast<rlim_t>(savedMax_)};
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler_);
}

}  // namespace testsupport
