#include "app/line_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <atomic>
#include <string>

#include "app/language.h"
#include "model/uir_ids.h"
#include "platform/os/app_dirs.h"
#include "platform/os/state_reset.h"
#include "platform/ui/ui.h"

namespace {

const char* const kSwitchKey = "line/fastLine";
const char* const kTimeoutKey = "line/replyTimeoutMs";

std::atomic<bool> g_forcedOn{false};

QString SettingsPath()
{
    return QString::fromStdString(ConsoleSettingsFile());
}

void KeepArmed(const FastLineSettings& armed)
{
    FastLineSettings kept = armed;
    // Switched on by the command line: that holds for this run only.
    if (g_forcedOn.load() && armed.enabled) kept.enabled = KeptLineSettings().enabled;
    KeepLineSettings(kept);
}

// The start-up state: nothing forced, nothing kept from the port panel.
void resetLineSettings()
{
    g_forcedOn = false;
    SetFastLineArmedHook(nullptr);
}
const StateReset kReset(resetLineSettings);

}  // namespace

FastLineSettings KeptLineSettings()
{
    QSettings s(SettingsPath(), QSettings::IniFormat);
    FastLineSettings kept;
    // Only a plain yes turns the mode on; anything else in the file leaves it off.
    const QString on = s.value(kSwitchKey, false).toString().trimmed().toLower();
    kept.enabled = on == QLatin1String("true") || on == QLatin1String("1");
    bool ok = false;
    const double ms = s.value(kTimeoutKey, FAST_LINE_TIMEOUT_DEFAULT_MS).toDouble(&ok);
    kept.replyTimeoutMs = ok ? ClampPanelReplyTimeoutMs(ms) : FAST_LINE_TIMEOUT_DEFAULT_MS;
    return kept;
}

bool KeepLineSettings(const FastLineSettings& settings)
{
    const QString path = SettingsPath();
    if (QDir().mkpath(QFileInfo(path).absolutePath())) {
        QSettings s(path, QSettings::IniFormat);
        s.setValue(kSwitchKey, settings.enabled);
        s.setValue(kTimeoutKey, ClampPanelReplyTimeoutMs(settings.replyTimeoutMs));
        s.sync();
        if (s.status() == QSettings::NoError && s.isWritable()) return true;
    }
    const QString text =
        QCoreApplication::translate("LineSettings",
                                    "The line-rate settings could not be kept in %1. They hold for this run.")
            .arg(QDir::toNativeSeparators(path));
    MessagePopup(Gbk(QCoreApplication::translate("LineSettings", "Settings")).c_str(), Gbk(text).c_str());
    return false;
}

void LoadLineSettings(int portPanel, bool forceOn)
{
    const FastLineSettings kept = KeptLineSettings();
    g_forcedOn = forceOn;
    SetCtrlVal(portPanel, uir::panel_com::FAST_LINE, forceOn || kept.enabled ? 1 : 0);
    SetCtrlVal(portPanel, uir::panel_com::FAST_LINE_TIMEOUT, static_cast<double>(kept.replyTimeoutMs));
    SetFastLineArmedHook(KeepArmed);
}
