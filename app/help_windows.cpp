#include "app/help_windows.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/language.h"
#include "app/version.h"
#include "engine/link_status.h"
#include "model/app_state.h"
#include "pages/param_info.h"
#include "platform/os/app_dirs.h"
#include "platform/os/gbk.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/ui.h"
#include "serial/port_binding.h"

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(Help)
};

constexpr int kValueRefreshMs = 1000;

QString qs(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

// A folder as the system writes it (back-slashes on Windows).
std::string shown(const std::string& folder)
{
    return QDir::toNativeSeparators(QString::fromStdString(folder)).toStdString();
}

// A window listing every page register, searchable, with live values.
class ReferenceWindow : public QWidget {
public:
    explicit ReferenceWindow(QWidget* parent) : QWidget(parent, Qt::Window)
    {
        setObjectName(QStringLiteral("PARAMETER_REFERENCE"));
        auto* layout = new QVBoxLayout(this);
        search_ = new QLineEdit;
        search_->setObjectName(QStringLiteral("search"));
        search_->setClearButtonEnabled(true);
        layout->addWidget(search_);
        table_ = new QTableWidget(0, 8);
        table_->setObjectName(QStringLiteral("registers"));
        table_->verticalHeader()->hide();
        table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table_->setSelectionBehavior(QAbstractItemView::SelectRows);
        table_->horizontalHeader()->setStretchLastSection(true);
        layout->addWidget(table_);
        count_ = new QLabel;
        layout->addWidget(count_);
        QObject::connect(search_, &QLineEdit::textChanged, this, [this] { applyFilter(); });
        auto* timer = new QTimer(this);
        QObject::connect(timer, &QTimer::timeout, this, [this] {
            if (isVisible()) fill();
        });
        timer->start(kValueRefreshMs);
        showTexts();
        fill();
        table_->resizeColumnsToContents();
        resize(980, 620);
    }

    void setFilter(const QString& text) { search_->setText(text); }

    // Rebuilds the rows from the current values.
    void fill()
    {
        const std::vector<ParamInfo> rows = ParameterReference();
        table_->setRowCount(static_cast<int>(rows.size()));
        for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
            const ParamInfo& p = rows[static_cast<std::size_t>(r)];
            const QString cells[] = {
                QString::number(p.address),
                QStringLiteral("0x") +
                    QString::number(p.address, 16).toUpper().rightJustified(4, QLatin1Char('0')),
                qs(p.page),
                qs(p.caption),
                qs(p.unit),
                qs(p.scale),
                qs(p.value),
                qs(p.otherCaption)};
            for (int c = 0; c < 8; ++c) {
                QTableWidgetItem* item = table_->item(r, c);
                if (item == nullptr) {
                    item = new QTableWidgetItem;
                    if (c == 0 || c == 6) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                    table_->setItem(r, c, item);
                }
                if (item->text() != cells[c]) item->setText(cells[c]);
            }
        }
        applyFilter();
    }

protected:
    // Open at a change of language: the texts in the new one.
    void changeEvent(QEvent* event) override
    {
        QWidget::changeEvent(event);
        if (event->type() != QEvent::LanguageChange) return;
        showTexts();
        applyFilter();
    }

private:
    void showTexts()
    {
        setWindowTitle(Tr::tr("Parameter reference"));
        search_->setPlaceholderText(Tr::tr("Search register, page, caption or unit"));
        table_->setHorizontalHeaderLabels({Tr::tr("Register"), Tr::tr("Hex"), Tr::tr("Page"),
                                           Tr::tr("Caption"), Tr::tr("Unit"), Tr::tr("Scale"),
                                           Tr::tr("Value"), Tr::tr("On the debug panel")});
    }

    void applyFilter()
    {
        const QString needle = search_->text().trimmed();
        int shown = 0;
        for (int r = 0; r < table_->rowCount(); ++r) {
            bool match = needle.isEmpty();
            for (int c = 0; c < table_->columnCount() && !match; ++c) {
                const QTableWidgetItem* item = table_->item(r, c);
                match = item != nullptr && item->text().contains(needle, Qt::CaseInsensitive);
            }
            table_->setRowHidden(r, !match);
            shown += match ? 1 : 0;
        }
        count_->setText(Tr::tr("%1 of %2 registers").arg(shown).arg(table_->rowCount()));
    }

    QLineEdit* search_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* count_ = nullptr;
};

QPointer<ReferenceWindow>& referenceWindow()
{
    static QPointer<ReferenceWindow> w;
    return w;
}

}  // namespace

std::string AboutText()
{
    const std::string version = ConsoleVersion();
    std::string network;
    for (const BoundNetworkDevice& d : BoundNetworkDevices()) {
        network += "\nCOM" + std::to_string(d.port) + " " + d.path;
    }
    // The status line is GBK already; the folders may hold any UTF-8.
    return Gbk(Tr::tr("Drive Service Console\nVersion %1\n\nPort:\n").arg(QString::fromStdString(version))) +
           LinkStatusText() +
           Gbk((network.empty() ? QString()
                                : Tr::tr("\n\nNetwork devices:%1").arg(QString::fromStdString(network))) +
               Tr::tr("\n\nSettings:\n%1\n\nJournals, backups and state:\n%2")
                   .arg(QString::fromStdString(shown(ConsoleConfigDir())),
                        QString::fromStdString(shown(ConsoleStateDir()))));
}

void parameterReference(int, int, void*, int)
{
    QPointer<ReferenceWindow>& w = referenceWindow();
    if (w == nullptr) w = new ReferenceWindow(qtui::PanelWidget(panelMain.load()));
    w->fill();
    w->show();
    w->raise();
    w->activateWindow();
}

void aboutConsole(int, int, void*, int)
{
    MessagePopup(Gbk(Tr::tr("About")).c_str(), AboutText().c_str());
}

bool SaveParameterReferencePng(const std::string& path, const std::string& filter)
{
    ReferenceWindow window(qtui::PanelWidget(panelMain.load()));
    window.setFilter(qs(filter));
    window.setAttribute(Qt::WA_DontShowOnScreen, true);
    window.show();
    const QPixmap image = window.grab();
    window.hide();
    return !image.isNull() && image.save(QString::fromStdString(path), "PNG");
}
