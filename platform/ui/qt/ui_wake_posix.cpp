#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cstdint>

#include "platform/ui/qt/ui_wake.h"

struct UiWake::Impl {
    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
};

UiWake::UiWake(std::function<void()> onWake) : impl_(std::make_unique<Impl>())
{
    impl_->fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (impl_->fd < 0) return;
    impl_->notifier = std::make_unique<QSocketNotifier>(impl_->fd, QSocketNotifier::Read);
    QObject::connect(impl_->notifier.get(), &QSocketNotifier::activated, impl_->notifier.get(),
                     [onWake = std::move(onWake)] { onWake(); });
}

UiWake::~UiWake()
{
    impl_->notifier.reset();  // before its descriptor goes
    if (impl_->fd >= 0) ::close(impl_->fd);
}

bool UiWake::valid() const
{
    return impl_->fd >= 0;
}

bool UiWake::signal()
{
    const std::uint64_t one = 1;
    return impl_->fd >= 0 && ::write(impl_->fd, &one, sizeof one) == static_cast<ssize_t>(sizeof one);
}

void UiWake::clear()
{
    std::uint64_t count = 0;
    if (impl_->fd >= 0 && ::read(impl_->fd, &count, sizeof count) < 0) count = 0;
}
