// A label showing a value beside a caption, readable by assistive technology:
// its accessible name is the caption with the text shown ("Requests: 1234"),
// kept current, so that a screen reader on any bridge (AT-SPI carries the name,
// not Qt's accessible value) says the number and not only "Requests". The
// accessible value is the text alone.
#pragma once

#include <QLabel>
#include <QString>

class ValueLabel : public QLabel {
    Q_OBJECT

public:
    explicit ValueLabel(const QString& caption, QWidget* parent = nullptr);
    // Shows `text`; tells assistive technology when it changed.
    void setValue(const QString& text);
    // A new caption (the language changed): the name says it with the value.
    void setCaption(const QString& caption);

private:
    QString caption_;
};
