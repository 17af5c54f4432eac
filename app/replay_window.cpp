#include "app/replay_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <memory>

#include "app/fault_window.h"
#include "app/language.h"
#include "app/monitor_window.h"
#include "engine/fault_feed.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "pages/sample5.h"
#include "platform/port/serial.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/ui.h"
#include "serial/fast_line.h"
#include "serial/replay_port.h"
#include "serial/rs232.h"

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(ReplayWindow)
};

constexpr int kReplayPort = 4;  // the port panel's default selection
constexpr int kShowMs = 100;
constexpr std::int64_t kSliderStepUs = 100000;  // the slider moves in tenths of a second

struct Speed {
    const char* text;
    double value;
};
constexpr Speed kSpeeds[] = {
    {"1×", 1}, {"2×", 2}, {"5×", 5}, {"10×", 10}, {QT_TRANSLATE_NOOP("ReplayWindow", "max"), Replay::kMax}};

void name(QWidget* w, const char* constant)
{
    w->setObjectName(constant);
    w->setAccessibleDescription(constant);
}

QString capturedTime(std::int64_t us)
{
    return QDateTime::fromMSecsSinceEpoch(us / 1000).toString("yyyy-MM-dd hh:mm:ss.zzz");
}

// Opens the replay's port with the capture's line settings (again, when open).
void OpenReplayLine(const Replay& replay)
{
    const ReplayLine line = ReplayLineOf(replay.recording().blocks().front().port);
    SetComDevice(kReplayPort, replay.devicePath());
    SetCtrlVal(child.load(), uir::panel_com::COMSELECT, kReplayPort);
    comselect = kReplayPort;
    btlselect = static_cast<int>(line.baud);
    jhselect = line.parity;
    longselect = line.dataBits;
    stopselect = line.stopBits;
    FastLineSettings fastLine;
    fastLine.enabled = line.lineRate;
    if (line.replyTimeoutMs > 0) fastLine.replyTimeoutMs = ClampReplyTimeoutMs(line.replyTimeoutMs);
    ConfigureSelectedPort(fastLine);
}

class ReplayBar : public QWidget {
public:
    explicit ReplayBar(Replay& replay) : replay_(replay)
    {
        name(this, "PANEL_REPLAY");
        play_ = new QPushButton;
        name(play_, "REPLAY_PLAY");
        position_ = new QSlider(Qt::Horizontal);
        name(position_, "REPLAY_POSITION");
        const std::int64_t span = replay.recording().lastUs() - replay.recording().firstUs();
        position_->setRange(0, static_cast<int>(std::min<std::int64_t>(span / kSliderStepUs, 1 << 30)));
        position_->setMinimumWidth(360);
        speed_ = new QComboBox;
        name(speed_, "REPLAY_SPEED");
        for (std::size_t i = 0; i < std::size(kSpeeds); ++i) speed_->addItem(QString());
        for (int i = 0; i < speed_->count(); ++i) {
            if (kSpeeds[i].value == replay.speed()) speed_->setCurrentIndex(i);
        }
        time_ = new QLabel;
        name(time_, "REPLAY_TIME");
        time_->setMinimumWidth(170);
        state_ = new QLabel;
        name(state_, "REPLAY_STATE");
        speedLabel_ = new QLabel;

        auto* row = new QHBoxLayout;
        row->addWidget(play_);
        row->addWidget(position_, 1);
        row->addWidget(time_);
        row->addWidget(speedLabel_);
        row->addWidget(speed_);
        auto* outer = new QVBoxLayout(this);
        outer->addLayout(row);
        outer->addWidget(state_);

        connect(play_, &QPushButton::clicked, this, [this] {
            replay_.setPaused(!replay_.paused());
            refresh();
        });
        connect(speed_, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int i) {
            if (i >= 0 && i < static_cast<int>(std::size(kSpeeds))) chosenSpeed_ = kSpeeds[i].value;
            replay_.setSpeed(chosenSpeed_);
        });
        // Moving the slider plays up to there as fast as the window takes it
        // (from the capture's start when it went back).
        connect(position_, &QSlider::sliderReleased, this, [this] { seek(position_->value()); });
        chosenSpeed_ = replay.speed();
        connect(&timer_, &QTimer::timeout, this, [this] { refresh(); });
        timer_.start(kShowMs);
        showTexts();
    }

protected:
    void changeEvent(QEvent* event) override
    {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::LanguageChange) showTexts();
    }

private:
    // The texts that do not change with the replay, in the language of the moment.
    void showTexts()
    {
        setWindowTitle(Tr::tr("Replay of %1")
                           .arg(QFileInfo(QString::fromStdString(replay_.recording().name())).fileName()));
        setAccessibleName(Tr::tr("Replay"));
        play_->setAccessibleName(Tr::tr("Pause or resume"));
        position_->setAccessibleName(Tr::tr("Captured time"));
        speed_->setAccessibleName(Tr::tr("Speed"));
        for (int i = 0; i < speed_->count() && i < static_cast<int>(std::size(kSpeeds)); ++i)
            speed_->setItemText(i, Tr::tr(kSpeeds[i].text));
        time_->setAccessibleName(Tr::tr("Captured time now"));
        state_->setAccessibleName(Tr::tr("What is played"));
        speedLabel_->setText(Tr::tr("Speed"));
        refresh();
    }

public:
    // Shows the replay as it stands now.
    void refresh()
    {
        const std::int64_t now = replay_.nowUs();
        const bool ended = replay_.finished();
        play_->setText(replay_.paused() ? Tr::tr("Play") : Tr::tr("Pause"));
        play_->setEnabled(!ended);
        if (!position_->isSliderDown()) {
            position_->setValue(static_cast<int>((now - replay_.recording().firstUs()) / kSliderStepUs));
        }
        time_->setText(capturedTime(now));
        const std::vector<ReplayRecording::Block>& blocks = replay_.recording().blocks();
        if (ended) {
            state_->setText(Tr::tr("end of capture"));
        } else if (!blocks.empty()) {
            const std::size_t b = std::min(replay_.block(), blocks.size() - 1);
            const QString port = QString::fromStdString(blocks[b].port.name);
            QString text;
            if (blocks.size() > 1) {
                const auto at = static_cast<qulonglong>(b + 1);
                const auto of = static_cast<qulonglong>(blocks.size());
                text = replay_.paused()
                           ? Tr::tr("Playing %1 (port opening %2 of %3), paused").arg(port).arg(at).arg(of)
                           : Tr::tr("Playing %1 (port opening %2 of %3)").arg(port).arg(at).arg(of);
            } else {
                text = replay_.paused() ? Tr::tr("Playing %1, paused").arg(port)
                                        : Tr::tr("Playing %1").arg(port);
            }
            state_->setText(text);
        }
    }

private:
    void seek(int step)
    {
        const std::int64_t target = replay_.recording().firstUs() + step * kSliderStepUs;
        // A seek goes on as the replay went before it: paused or at the speed chosen.
        const bool paused = replay_.seeking() ? seekPaused_ : replay_.paused();
        seekPaused_ = paused;
        if (target <= replay_.nowUs()) {
            // Back: the replay starts again, and what the window took from it
            // so far is forgotten once the port has closed.
            replay_.setPaused(true);
            replay_.rewindAtNextOpen([] {
                ForgetFaultHistory();
                ForgetMonitorHistory();
                // The pages are read again, as on the first opening.
                for (const ItemTable& t : kPageTables) t.items[0].query_flag = 1;
            });
            OpenReplayLine(replay_);
        }
        replay_.playTo(target, chosenSpeed_, paused);
        refresh();
    }
    Replay& replay_;
    QPushButton* play_ = nullptr;
    QSlider* position_ = nullptr;
    QComboBox* speed_ = nullptr;
    QLabel* time_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* speedLabel_ = nullptr;
    QTimer timer_;
    double chosenSpeed_ = Replay::kMax;
    bool seekPaused_ = false;
};

struct WindowReplay {
    std::unique_ptr<Replay> replay;
    ReplayBar* bar = nullptr;  // owned by Qt once shown; deleted with the replay
};

WindowReplay& current()
{
    static WindowReplay r;
    return r;
}

}  // namespace

bool StartWindowReplay(const std::string& path, double speed, std::string* error)
{
    auto recording = std::make_shared<ReplayRecording>();
    if (!recording->load(path, error)) return false;
    auto replay = std::make_unique<Replay>(recording);
    // The fault history keeps up however fast the replay goes.
    replay->setHold([] { return FaultHistoryBacklog() > kFaultFeedQueue / 2; });
    if (!replay->start(speed)) {
        *error = "another replay is running";
        return false;
    }
    current().replay = std::move(replay);
    return true;
}

void StopWindowReplay()
{
    WindowReplay& r = current();
    delete r.bar;
    r.bar = nullptr;
    if (r.replay) r.replay->stop();
    r.replay.reset();
}

bool WindowReplaying()
{
    return current().replay != nullptr;
}

bool WindowReplayEnded()
{
    WindowReplay& r = current();
    return r.replay != nullptr && r.replay->finished();
}

void OpenReplayPort()
{
    QTimer::singleShot(0, [] {
        WindowReplay& r = current();
        if (!r.replay) return;
        OpenReplayLine(*r.replay);
        const std::string title =
            Gbk(Tr::tr("replay of %1")
                    .arg(QFileInfo(QString::fromStdString(r.replay->recording().name())).fileName()));
        SetPanelAttribute(panelMain.load(), ATTR_TITLE, title.c_str());
        r.bar = new ReplayBar(*r.replay);
        if (QWidget* main = qtui::PanelWidget(panelMain.load())) {
            r.bar->move(main->frameGeometry().left(), main->frameGeometry().bottom() + 8);
        }
        r.bar->show();
    });
}

bool SaveReplayBarPng(const std::string& path)
{
    WindowReplay& r = current();
    if (r.bar == nullptr) return false;
    r.bar->refresh();
    // The main panel as the replay left it, the replay bar below.
    QWidget* main = qtui::PanelWidget(panelMain.load());
    const QPixmap top = main != nullptr ? main->grab() : QPixmap();
    const QPixmap bar = r.bar->grab();
    QImage picture(std::max(top.width(), bar.width()), top.height() + bar.height(), QImage::Format_RGB32);
    picture.fill(r.bar->palette().window().color());
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, top);
    painter.drawPixmap(0, top.height(), bar);
    painter.end();
    return picture.save(QString::fromStdString(path), "PNG");
}
