// A label showing a value beside a caption, readable by assistive technology:
// its accessible name is the caption and its accessible value the text shown,
// so a screen reader says "Requests, 1234" rather than only "Requests".
#pragma once

#include <QLabel>
#include <QString>

class ValueLabel : public QLabel {
    Q_OBJECT

public:
    explicit ValueLabel(const QString& caption, QWidget* parent = nullptr);
    // Shows `text`; tells assistive technology when it changed.
    void setValue(const QString& text);
};
