#include "app/version.h"

#include <QString>
#include <QWidget>

#include "platform/ui/qt/qt_ui.h"

const char* ConsoleVersion()
{
    return DSC_VERSION;
}

void ShowVersionInTitle(int panel)
{
    qtui::AppendToPanelTitle(panel, QStringLiteral(" ") + QString::fromLatin1(ConsoleVersion()));
}
