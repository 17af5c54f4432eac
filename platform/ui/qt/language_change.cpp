// Texts shown again in the language just installed.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <utility>

#include "platform/ui/qt/qt_ui.h"

namespace qtui {

namespace {

// Watches the application object, which Qt tells at once (before any widget)
// whenever a translator is installed or removed.
class LanguageWatch final : public QObject {
public:
    LanguageWatch(QObject* owner, std::function<void()> fn) : QObject(owner), fn_(std::move(fn))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::LanguageChange) fn_();
        return false;
    }

private:
    std::function<void()> fn_;
};

}  // namespace

void OnLanguageChange(QObject* owner, std::function<void()> fn)
{
    if (owner == nullptr || QCoreApplication::instance() == nullptr) return;
    new LanguageWatch(owner, std::move(fn));
}

}  // namespace qtui
