// Small widgets the panels are drawn with: round lamps, on/off switches, the
// decorative picture, and the window that stands for a top-level panel.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPointer>
#include <QWidget>

namespace qtui {

// A round lamp drawn in its on or off colour.
class LedLamp : public QWidget {
    Q_OBJECT
public:
    explicit LedLamp(QWidget* parent = nullptr);
    void setState(bool on, QColor onColor, QColor offColor);
    bool isOn() const { return on_; }
    QColor shownColor() const { return on_ ? onColor_ : offColor_; }
    QSize sizeHint() const override { return QSize(18, 18); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool on_ = false;
    QColor onColor_{0x00, 0xFF, 0x00};
    QColor offColor_{0xA0, 0xA0, 0xA0};
};

// A two-state slide switch showing "ON" or "OFF".
class SwitchButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit SwitchButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The main panel's decoration: a stylised motor.
class MotorPicture : public QWidget {
    Q_OBJECT
public:
    explicit MotorPicture(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(120, 80); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A panel's window. Closing it from the window manager never closes it: it
// presses the panel's close button if it has one, and does nothing otherwise.
class PanelWindow : public QWidget {
    Q_OBJECT
public:
    PanelWindow(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}
    void setCloseButton(QAbstractButton* button) { closeButton_ = button; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPointer<QAbstractButton> closeButton_;
};

// The style sheet of every panel window.
const char* PanelStyleSheet();

}  // namespace qtui
