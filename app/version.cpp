#include "app/version.h"

#include <QString>
#include <QWidget>

#include "platform/qt/qt_ui.h"

const char* ConsoleVersion()
{
    return DSC_VERSION;
}

void ShowVersionInTitle(int panel)
{
    QWidget* w = qtui::PanelWidget(panel);
    if (w == nullptr) return;
    const QString suffix = QStringLiteral(" ") + QString::fromLatin1(ConsoleVersion());
    if (!w->windowTitle().endsWith(suffix)) w->setWindowTitle(w->windowTitle() + suffix);
}
