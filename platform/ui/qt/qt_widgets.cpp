#include "platform/ui/qt/qt_widgets.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace qtui {

LedLamp::LedLamp(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void LedLamp::setState(bool on, QColor onColor, QColor offColor)
{
    if (on == on_ && onColor == onColor_ && offColor == offColor_) return;
    on_ = on;
    onColor_ = onColor;
    offColor_ = offColor;
    update();
}

void LedLamp::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal d = qMin(width(), height()) - 2.0;
    const QRectF r((width() - d) / 2.0, (height() - d) / 2.0, d, d);
    const QColor c = shownColor();
    QRadialGradient g(r.center() - QPointF(d / 5.0, d / 5.0), d * 0.7);
    g.setColorAt(0.0, c.lighter(150));
    g.setColorAt(1.0, c.darker(on_ ? 115 : 105));
    p.setBrush(g);
    p.setPen(QPen(QColor(0x45, 0x4d, 0x55), 1.0));
    p.drawEllipse(r);
}

SwitchButton::SwitchButton(QWidget* parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

QSize SwitchButton::sizeHint() const
{
    const int h = fontMetrics().height() + 6;
    return QSize(fontMetrics().horizontalAdvance(QStringLiteral("OFF")) + h + 14, h);
}

void SwitchButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = track.height() / 2.0;
    const bool on = isChecked();
    p.setPen(QPen(QColor(0x6b, 0x75, 0x80), 1.0));
    p.setBrush(on ? QColor(0x2e, 0x7d, 0x32) : QColor(0xd5, 0xd9, 0xde));
    p.drawRoundedRect(track, radius, radius);
    const qreal knob = track.height() - 4.0;
    const QRectF knobRect(on ? track.right() - knob - 2.0 : track.left() + 2.0, track.top() + 2.0, knob,
                          knob);
    p.setBrush(QColor(0xff, 0xff, 0xff));
    p.drawEllipse(knobRect);
    p.setPen(on ? QColor(0xff, 0xff, 0xff) : QColor(0x30, 0x36, 0x3c));
    QRectF textRect = track.adjusted(on ? 6.0 : knob + 4.0, 0, on ? -(knob + 4.0) : -6.0, 0);
    p.drawText(textRect, Qt::AlignCenter, on ? QStringLiteral("ON") : QStringLiteral("OFF"));
    if (hasFocus()) {
        p.setPen(QPen(palette().highlight().color(), 1.0, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(track.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    }
}

MotorPicture::MotorPicture(QWidget* parent) : QWidget(parent) {}

void MotorPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal h = qMin<qreal>(height() - 4, width() * 0.6);
    const QRectF body(4, (height() - h) / 2.0, h * 1.2, h);
    // Housing with cooling fins, shaft, and a wheel hub.
    p.setPen(QPen(QColor(0x37, 0x47, 0x4f), 1.5));
    p.setBrush(QColor(0x90, 0xa4, 0xae));
    p.drawRoundedRect(body, 6, 6);
    p.setPen(QPen(QColor(0x54, 0x6e, 0x7a), 1.0));
    for (int i = 1; i < 6; ++i) {
        const qreal x = body.left() + body.width() * i / 6.0;
        p.drawLine(QPointF(x, body.top() + 4), QPointF(x, body.bottom() - 4));
    }
    const QRectF shaft(body.right(), body.center().y() - h * 0.08, h * 0.35, h * 0.16);
    p.setBrush(QColor(0xb0, 0xbe, 0xc5));
    p.drawRect(shaft);
    const qreal hub = h * 0.7;
    const QRectF wheel(shaft.right(), body.center().y() - hub / 2.0, hub, hub);
    p.setPen(QPen(QColor(0x26, 0x32, 0x38), 2.0));
    p.setBrush(QColor(0xec, 0xef, 0xf1));
    p.drawEllipse(wheel);
    p.setBrush(QColor(0xf9, 0xa8, 0x25));
    p.drawEllipse(wheel.adjusted(hub * 0.3, hub * 0.3, -hub * 0.3, -hub * 0.3));
}

void PanelWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (closeButton_ != nullptr && closeButton_->isEnabled()) closeButton_->click();
}

const char* PanelStyleSheet()
{
    return R"(
QWidget { color: #1d232a; }
qtui--PanelWindow, QTabWidget > QWidget { background: #f2f4f6; }
QLabel[role="caption"] { color: #2b333b; }
QLineEdit[readOnly="true"] {
    background: #ffffff; border: 1px solid #8c96a0; border-radius: 2px; padding: 1px 4px;
    font-family: "DejaVu Sans Mono", monospace;
}
QDoubleSpinBox, QComboBox { background: #ffffff; }
QGroupBox { border: 1px solid #b4bcc4; border-radius: 3px; margin-top: 1.1em; padding-top: 2px; font-weight: bold; }
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }
QTableWidget { background: #ffffff; gridline-color: #d7dce1; border: 1px solid #8c96a0; }
QLabel[role="title"] { font-weight: bold; }
QPushButton { padding: 2px 12px; min-width: 3em; }
QTabBar::tab { padding: 4px 12px; }
QMenuBar { background: #e4e8ec; border-bottom: 1px solid #c4ccd4; }
QMenuBar::item { padding: 3px 10px; }
QMenuBar::item:selected { background: #cfd8e0; }
QLineEdit[dimmed="true"], QLabel[dimmed="true"] { color: #a0a8b0; }
QDoubleSpinBox[marked="true"], QComboBox[marked="true"] { background: #fff0b3; }
qtui--SwitchButton[marked="true"] { background: #fff0b3; }
QPushButton[role="stop"] {
    background: #c62828; color: #ffffff; font-weight: bold; padding: 4px 24px;
    border: 1px solid #8e1b1b; border-radius: 3px;
}
QPushButton[role="stop"]:pressed { background: #8e1b1b; }
)";
}

}  // namespace qtui
