#include "app/report_window.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <atomic>
#include <memory>
#include <thread>

#include "app/fault_window.h"
#include "app/panel_pictures.h"
#include "app/version.h"
#include "engine/line_capture.h"
#include "modbus/line_state.h"
#include "model/app_state.h"
#include "model/line_flags.h"
#include "platform/port/serial.h"
#include "platform/ui/qt/qt_ui.h"
#include "report/service_report.h"
#include "serial/rs232.h"
#include "sets/set_line.h"

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(ReportWindow)
};

// How long the controller has to answer the pages: a silent one costs this
// once, and the report is written without its parameters.
constexpr int kPagesGiveUpMs = 5000;

const LineCapture*& capture()
{
    static const LineCapture* c = nullptr;
    return c;
}

QWidget* mainWidget()
{
    return qtui::PanelWidget(panelMain.load());
}

// One report being made: the pages read on a thread of its own, then the
// panels drawn and the bundle written on the UI thread.
class ReportJob : public QObject {
public:
    ReportJob(std::string folder, const std::string& reference,
              std::function<void(bool, const std::string&)> done)
        : QObject(mainWidget()), folder_(std::move(folder)), done_(std::move(done))
    {
        if (!reference.empty()) {
            psets::ParameterSet set;
            std::string error;
            if (!psets::LoadSetFile(reference, &set, &error)) {
                QMetaObject::invokeMethod(
                    this, [this, error] { fail("the reference cannot be read: " + error); },
                    Qt::QueuedConnection);
                return;
            }
            in_.reference = set;
            in_.referenceName = QFileInfo(QString::fromStdString(reference)).fileName().toStdString();
        }
        progress_ =
            new QProgressDialog(Tr::tr("Reading the parameters…"), Tr::tr("Cancel"), 0, 3, mainWidget());
        progress_->setWindowTitle(Tr::tr("Service report"));
        progress_->setMinimumDuration(0);
        progress_->setValue(0);
        connect(progress_, &QProgressDialog::canceled, this, [this] { cancel_ = true; });
        in_.about = DescribeConsole(ConsoleVersion(), ComDevicePath(active_comselect.load()));
        if (!PortOpen()) {
            in_.parametersProblem = "the port is not open";
            QMetaObject::invokeMethod(
                this, [this] { draw(); }, Qt::QueuedConnection);
            return;
        }
        thread_ = std::thread([this] {
            std::string error;
            const bool read = psets::WaitForController(kPagesGiveUpMs, &error, &cancel_) &&
                              psets::ReadPagesFresh(kPagesGiveUpMs, &error, &cancel_);
            const std::map<int, int> words = read ? psets::TableWords() : std::map<int, int>{};
            qtui::RunOnUiThread(this, [this, read, words, error] {
                in_.parametersRead = read;
                in_.parameters = words;
                in_.parametersProblem = cancel_.load() ? "cancelled" : error;
                draw();
            });
        });
    }
    ~ReportJob() override
    {
        cancel_ = true;
        if (thread_.joinable()) thread_.join();
        delete progress_;
    }
    ReportJob(const ReportJob&) = delete;
    ReportJob& operator=(const ReportJob&) = delete;

private:
    void fail(const std::string& why)
    {
        done_(false, why);
        deleteLater();
    }
    void draw()
    {
        if (thread_.joinable()) thread_.join();
        progress_->setLabelText(Tr::tr("Drawing the panels…"));
        progress_->setValue(1);
        QTemporaryDir pictures;
        if (pictures.isValid()) {
            SavePanelPictures(pictures.path().toStdString());
            for (const QString& name : QDir(pictures.path()).entryList({"*.png"}, QDir::Files)) {
                QFile f(pictures.filePath(name));
                if (f.open(QIODevice::ReadOnly)) in_.panels[name.toStdString()] = f.readAll();
            }
        }
        progress_->setLabelText(Tr::tr("Writing the report…"));
        progress_->setValue(2);
        in_.madeWallMs = QDateTime::currentMSecsSinceEpoch();
        const RunLog::Copy run = RunOfThisConsole();
        in_.faults = run.faults;
        in_.writes = run.writes;
        in_.link = ReadLinkCounters();
        if (capture() != nullptr) in_.capture = capture()->lastMinutes();
        const std::string path = folder_ + "/" + ReportFileName(in_.madeWallMs);
        std::string error;
        const bool written = SaveReport(path, in_, &error);
        progress_->setValue(3);
        done_(written, written ? path : error);
        deleteLater();
    }

    std::string folder_;
    std::function<void(bool, const std::string&)> done_;
    ReportInputs in_;
    QProgressDialog* progress_ = nullptr;
    std::atomic<bool> cancel_{false};
    std::thread thread_;
};

}  // namespace

void CreateServiceReports(const LineCapture* c)
{
    capture() = c;
}

void DestroyServiceReports()
{
    capture() = nullptr;
}

void SaveServiceReportIn(const std::string& folder, const std::string& reference,
                         std::function<void(bool, const std::string&)> done)
{
    new ReportJob(folder, reference, std::move(done));
}

void serviceReport(int, int, void*, int)
{
    const QString folder =
        QFileDialog::getExistingDirectory(mainWidget(), Tr::tr("Save service report"), QDir::homePath());
    if (folder.isEmpty()) return;
    QString reference;
    if (QMessageBox::question(mainWidget(), Tr::tr("Save service report"),
                              Tr::tr("Mark the parameters that differ from a reference set?")) ==
        QMessageBox::Yes) {
        reference = QFileDialog::getOpenFileName(mainWidget(), Tr::tr("Reference set"), QDir::homePath(),
                                                 Tr::tr("Parameter sets (*.json)"));
        if (reference.isEmpty()) return;
    }
    SaveServiceReportIn(
        folder.toStdString(), reference.toStdString(), [](bool written, const std::string& text) {
            auto* box = new QMessageBox(
                written ? QMessageBox::Information : QMessageBox::Warning, Tr::tr("Service report"),
                written ? Tr::tr("The report is in %1")
                              .arg(QDir::toNativeSeparators(QString::fromStdString(text)))
                        : Tr::tr("No report written: %1").arg(QString::fromStdString(text)),
                QMessageBox::Ok, mainWidget());
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        });
}
