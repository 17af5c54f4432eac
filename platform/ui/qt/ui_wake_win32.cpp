#include <windows.h>

#include <QWinEventNotifier>

#include "platform/ui/qt/ui_wake.h"

struct UiWake::Impl {
    HANDLE event = nullptr;
    std::unique_ptr<QWinEventNotifier> notifier;
};

UiWake::UiWake(std::function<void()> onWake) : impl_(std::make_unique<Impl>())
{
    // Manual reset: the event stays set until the UI thread has taken the work.
    impl_->event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (impl_->event == nullptr) return;
    impl_->notifier = std::make_unique<QWinEventNotifier>(impl_->event);
    QObject::connect(impl_->notifier.get(), &QWinEventNotifier::activated, impl_->notifier.get(),
                     [onWake = std::move(onWake)] { onWake(); });
}

UiWake::~UiWake()
{
    impl_->notifier.reset();  // before its handle goes
    if (impl_->event != nullptr) CloseHandle(impl_->event);
}

bool UiWake::valid() const
{
    return impl_->event != nullptr;
}

bool UiWake::signal()
{
    return impl_->event != nullptr && SetEvent(impl_->event) != 0;
}

void UiWake::clear()
{
    if (impl_->event != nullptr) ResetEvent(impl_->event);
}
