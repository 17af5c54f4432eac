#include "app/glyph_check.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTabBar>
#include <QTableWidget>
#include <QWidget>
#include <cstdio>
#include <map>
#include <set>
#include <utility>

namespace {

// `text` drawn black on white in `font`, on a square of twice the line height.
QImage drawn(const QFont& font, const QString& text)
{
    const QFontMetrics metrics(font);
    const int side = metrics.height() * 2;
    QImage image(side, side, QImage::Format_Grayscale8);
    image.fill(255);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(metrics.height() / 2, metrics.ascent() + metrics.height() / 2), text);
    painter.end();
    return image;
}

bool blank(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] != 255) return false;
        }
    }
    return true;
}

// The texts a widget shows.
QStringList textsOf(QWidget* w)
{
    QStringList out;
    if (auto* l = qobject_cast<QLabel*>(w); l != nullptr && l->textFormat() != Qt::RichText) out << l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) out << b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) out << g->title();
    if (auto* t = qobject_cast<QTabBar*>(w)) {
        for (int i = 0; i < t->count(); ++i) out << t->tabText(i);
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
    }
    if (auto* t = qobject_cast<QTableWidget*>(w)) {
        for (int r = 0; r < t->rowCount(); ++r) {
            for (int c = 0; c < t->columnCount(); ++c) {
                if (const QTableWidgetItem* item = t->item(r, c)) out << item->text();
            }
        }
    }
    return out;
}

QString whereIs(QWidget* window, QWidget* w)
{
    return window->objectName() + QLatin1Char('/') + w->objectName();
}

}  // namespace

std::vector<std::string> MissingGlyphs()
{
    // The first place each character beyond ASCII shows, by font.
    std::map<std::pair<QString, char32_t>, std::pair<QFont, QString>> seen;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        QList<QWidget*> widgets = window->findChildren<QWidget*>();
        widgets.prepend(window);
        for (QWidget* w : widgets) {
            for (const QString& text : textsOf(w)) {
                for (const char32_t c : text.toUcs4()) {
                    if (c < 0x80 || QChar::isSpace(c) || !QChar::isPrint(c)) continue;
                    seen.emplace(std::make_pair(w->font().key(), c),
                                 std::make_pair(w->font(), whereIs(window, w)));
                }
            }
        }
    }
    // A character no font has (in the last private-use plane) shows what a
    // missing glyph looks like in each font.
    std::map<QString, QImage> missingSign;
    std::set<char32_t> reported;
    std::vector<std::string> out;
    for (const auto& [key, value] : seen) {
        const auto& [fontKey, c] = key;
        const auto& [font, where] = value;
        if (reported.count(c) != 0) continue;
        auto sign = missingSign.find(fontKey);
        if (sign == missingSign.end()) {
            const char32_t none = 0x10FFFD;
            sign = missingSign.emplace(fontKey, drawn(font, QString::fromUcs4(&none, 1))).first;
        }
        const QImage image = drawn(font, QString::fromUcs4(&c, 1));
        if (!blank(image) && image != sign->second) continue;
        reported.insert(c);
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X ", static_cast<unsigned>(c));
        out.push_back(code + QString::fromUcs4(&c, 1).toStdString() + " " + where.toStdString());
    }
    return out;
}
