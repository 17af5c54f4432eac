#include "app/value_label.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

class ValueLabelInterface : public QAccessibleWidget {
public:
    explicit ValueLabelInterface(QWidget* w) : QAccessibleWidget(w, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
            case QAccessible::Name:
                return widget()->accessibleName();
            case QAccessible::Value:
                return static_cast<const QLabel*>(widget())->text();
            default:
                return QAccessibleWidget::text(t);
        }
    }
};

QAccessibleInterface* makeInterface(const QString& className, QObject* object)
{
    if (className != QLatin1String("ValueLabel") || !object->isWidgetType()) return nullptr;
    return new ValueLabelInterface(static_cast<QWidget*>(object));
}

}  // namespace

ValueLabel::ValueLabel(const QString& caption, QWidget* parent) : QLabel(parent), caption_(caption)
{
    // Qt keeps one entry per factory: installing it again changes nothing.
    QAccessible::installFactory(makeInterface);
    setAccessibleName(caption);
}

void ValueLabel::setValue(const QString& value)
{
    if (value == text()) return;
    setText(value);
    // Tells assistive technology of the new name itself.
    setAccessibleName(value.isEmpty() ? caption_ : caption_ + ": " + value);
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, value);
        QAccessible::updateAccessibility(&event);
    }
}

void ValueLabel::setCaption(const QString& caption)
{
    caption_ = caption;
    setAccessibleName(text().isEmpty() ? caption_ : caption_ + ": " + text());
}
