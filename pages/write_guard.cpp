#include "pages/write_guard.h"

#include <QCoreApplication>
#include <QString>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "modbus/line_state.h"
#include "modbus/modbus.h"
#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/link_health.h"
#include "model/panel_texts.h"
#include "model/register_catalogue.h"
#include "model/uir_ids.h"
#include "pages/send_rows.h"
#include "platform/os/clock.h"
#include "platform/os/gbk.h"
#include "platform/os/state_reset.h"
#include "platform/ui/ui.h"
#include "serial/port_open.h"
#include "serial/port_watch.h"

namespace {

constexpr int kWaitStepMs = 10;

// What MarkUnsentEntries drew last, row by row of SendRows (refresh thread).
struct UnsentMark {
    double base = 0.0;  // the control's value when it last matched what the program put there
    int marked = -1;    // last state drawn; -1 = never drawn
    bool hasBase = false;
};

// Everything the guard keeps; ResetWriteGuard sets it back.
struct GuardState {
    std::atomic<int> unstored{0};  // confirmed writes since the last store
    std::atomic<bool> testEnabled{false};

    std::mutex observerMutex;
    int observerToken = 0;  // of the write observer while the guard runs

    std::mutex offerMutex;
    BackupOffer backupOffer;

    UnsentMark unsentMarks[128];
};
GuardState g_guard;

DataItem* item6(int address)
{
    const int i = getIndex(dataItem6, DATAITEM6_COUNT, address);
    return i < 0 ? nullptr : &dataItem6[i];
}

std::string gbk(const std::string& utf8)
{
    return Utf8ToGbkLenient(utf8);
}

// A text for the technician in the language installed (UTF-8; without a
// translator the English one), its arguments (UTF-8) put in at %1, %2, ...
template <typename... Args>
std::string said(const char* english, const Args&... args)
{
    QString text = QCoreApplication::translate("WriteGuard", english);
    if constexpr (sizeof...(args) > 0) text = text.arg(QString::fromStdString(args)...);
    return text.toStdString();
}

// The write record of a STOP write: described as the item's own send button.
WriteRequest stopRequest(const DataItem& item, int value, const char* panel)
{
    std::size_t count = 0;
    const SendRow* rows = SendRows(&count);
    for (std::size_t i = 0; i < count; ++i) {
        if (&rows[i].table[rows[i].index] != &item) continue;
        WriteRequest w = DescribeSendRow(rows[i], value);
        if (panel != nullptr) w.panel = panel;
        return w;
    }
    WriteRequest w;
    w.panel = panel != nullptr ? panel : Utf8ToGbkLenient(Catalogue().panelTitle(RegisterPanel::Debug));
    w.typed = value;
    return w;
}

bool ask(const GuardQuestion& q)
{
    return ConfirmPopup(q.title.c_str(), q.text.c_str(), q.buttons, q.defaultAnswer) == ANSWER_YES;
}

// The fault rows of the main panel's list whose bits are set, by their texts.
std::string activeFaults()
{
    const std::vector<const RegisterEntry*> words = Catalogue().faultWords();
    std::string out;
    for (std::size_t w = 0; w < words.size(); ++w) {
        const RegisterEntry& entry = *words[w];
        const double v = entry.item->value.load();
        const int word = std::isfinite(v) ? static_cast<int>(v) : 0;
        for (int b = 0; b < 16; ++b) {
            if (((word >> b) & 1) == 0) continue;
            const std::size_t bit = static_cast<std::size_t>(b);
            std::string name = bit < entry.bitNames.size() ? entry.bitNames[bit] : std::string();
            if (name.empty()) name = "row " + std::to_string(w * 16 + bit + 1);
            out += (out.empty() ? "" : ", ") + name;
        }
    }
    return out;
}

}  // namespace

std::string MotorTestRefusal()
{
    const std::int64_t since = MsSinceStatusReply();
    if (since < 0 || since > kReplyingMs) {
        return said(QT_TRANSLATE_NOOP("WriteGuard",
                                      "The controller has not answered a status read in the last 2 s, so "
                                      "its state is unknown."));
    }
    const RegisterEntry& motor = Catalogue().motorSpeed();
    const double speed = scaledValue(*motor.item);
    if (speed != 0.0) {
        char value[32];
        std::snprintf(value, sizeof value, "%.0f", speed);
        return said(QT_TRANSLATE_NOOP("WriteGuard", "The motor is turning (%1)."),
                    motor.caption + ": " + value + (motor.unit.empty() ? "" : " " + motor.unit));
    }
    const std::string faults = activeFaults();
    if (!faults.empty()) return said(QT_TRANSLATE_NOOP("WriteGuard", "A fault is active: %1."), faults);
    return std::string();
}

namespace {

// The values set on the debug panel's test page, one line each.
std::string testValues()
{
    std::size_t count = 0;
    const SendRow* rows = SendRows(&count);
    std::string out;
    for (std::size_t r = 0; r < count; ++r) {
        const SendRow& row = rows[r];
        if (!IsDebugPanelRow(row) || row.pageIndex != 1) continue;
        if (row.table[row.index].address.load() == REG_TEST_ENABLE) continue;
        const RegisterControl* control = SendRowControl(row);
        if (control == nullptr) continue;
        std::string value;
        if (row.kind == SendKind::Integer) {
            int v = 0;
            if (GetCtrlVal(row.page->load(), row.control, &v) < 0) continue;
            value = control->itemCaption(v);
            if (value.empty()) value = std::to_string(v);
        } else {
            double v = 0.0;
            if (GetCtrlVal(row.page->load(), row.control, &v) < 0) continue;
            char text[64];
            std::snprintf(text, sizeof text, "%.2f", v);
            value = text;
            if (!control->unit.empty()) value += " " + control->unit;
        }
        out += "\n  " + control->caption + ": " + value;
    }
    return out;
}

bool confirmArming()
{
    const std::string refusal = MotorTestRefusal();
    if (!refusal.empty()) {
        MessagePopup(gbk(said(QT_TRANSLATE_NOOP("WriteGuard", "Motor test refused"))).c_str(),
                     gbk(said(QT_TRANSLATE_NOOP("WriteGuard",
                                                "The motor test was not started, nothing was "
                                                "sent.\n\n%1"),
                              refusal))
                         .c_str());
        return false;
    }
    return ask(QuestionFor(GuardAsk::ArmTest));
}

bool confirmRestore()
{
    BackupOffer offer;
    {
        std::lock_guard<std::mutex> lock(g_guard.offerMutex);
        offer = g_guard.backupOffer;
    }
    if (offer && !offer()) return false;
    return ask(QuestionFor(GuardAsk::FactoryRestore));
}

// The panels' own text for no change waiting (UTF-8).
std::string nothingUnstored()
{
    return PanelText("mainwin.uir", uir::PANEL_SET, "UNSTORED");
}

void showUnstored(int count)
{
    std::string text;
    if (count > 0) {
        text =
            gbk(count == 1 ? said(QT_TRANSLATE_NOOP("WriteGuard", "1 change not stored in the controller"))
                           : said(QT_TRANSLATE_NOOP("WriteGuard", "%1 changes not stored in the controller"),
                                  std::to_string(count)));
    } else {
        text = gbk(nothingUnstored());
    }
    SetCtrlVal(panel_set.load(), uir::panel_set::UNSTORED, text.c_str());
    SetCtrlVal(panel_debug.load(), uir::panel_debg::UNSTORED, text.c_str());
}

// Values closer than this relative step are the same entry.
bool same(double a, double b)
{
    return std::fabs(a - b) <= 1e-9 * std::fmax(1.0, std::fmax(std::fabs(a), std::fabs(b)));
}

}  // namespace

bool ConfirmWrite(int address, double registerValue)
{
    if (registerValue == 0.0) return true;  // turning something off is never asked
    switch (address) {
        case REG_TEST_ENABLE:
            return confirmArming();
        case REG_RESTORE_FACTORY:
            return confirmRestore();
        case REG_HALL_FAULT_MASK:
            return ask(QuestionFor(GuardAsk::HallMask));
        default:
            return true;
    }
}

void SendTestStop(const char* panel)
{
    DataItem* enable = item6(REG_TEST_ENABLE);
    DataItem* mode = item6(REG_TEST_MODE);
    // Like a send button, but urgent: ahead of every other write, and a normal
    // press cannot replace it before it has gone out.
    const bool portOpen = PortOpen() || WaitingPort() != 0;
    for (auto [item, value] : {std::pair<DataItem*, int>{enable, 0}, {mode, TEST_MODE_NORMAL}}) {
        if (item == nullptr) continue;
        SubmitWrite(*item, value, stopRequest(*item, value, panel), portOpen, true);
        item->refresh_flag.store(1);  // the switch and the ring show what was sent
    }
}

bool WaitTestStopSent(int timeoutMs)
{
    DataItem* enable = item6(REG_TEST_ENABLE);
    DataItem* mode = item6(REG_TEST_MODE);
    for (int waited = 0;; waited += kWaitStepMs) {
        const bool sent = (enable == nullptr || enable->send_flag.load() != SEND_URGENT) &&
                          (mode == nullptr || mode->send_flag.load() != SEND_URGENT);
        if (sent) return true;
        if (!PortOpen() || !Unlocked()) return false;
        if (waited >= timeoutMs) return false;
        Sleep(kWaitStepMs);
    }
}

bool ConfirmLeavingMotorTest()
{
    if (!MotorTestEnabled()) return true;
    const GuardQuestion q = QuestionFor(GuardAsk::LeaveTest);
    const int answer = ConfirmPopup(q.title.c_str(), q.text.c_str(), q.buttons, q.defaultAnswer);
    if (answer == ANSWER_CANCEL) return false;
    // A question that could not be asked stops the test: the safe side.
    if (answer != ANSWER_NO) SendTestStop();
    return true;
}

GuardQuestion QuestionFor(GuardAsk which)
{
    switch (which) {
        case GuardAsk::ArmTest:
            return {gbk(said(QT_TRANSLATE_NOOP("WriteGuard", "Start motor test"))),
                    gbk(said(QT_TRANSLATE_NOOP("WriteGuard",
                                               "Start the motor test with these values?\n%1\n\nThe "
                                               "motor may move. %2 (Esc) on the %3 panel ends the test."),
                             testValues(), ShownPanelText("debug.uir", uir::PANEL_DEBG, "TEST_STOP"),
                             ShownPanelText("debug.uir", uir::PANEL_DEBG, "PANEL_DEBG"))),
                    CONFIRM_YES_NO, ANSWER_NO};
        case GuardAsk::FactoryRestore:
            // Titled as the switch of the register it writes.
            return {gbk(Catalogue().captionOf(REG_RESTORE_FACTORY)),
                    gbk(said(QT_TRANSLATE_NOOP("WriteGuard",
                                               "Restore the factory settings?\n\nAll parameters "
                                               "revert to their factory values. The controller "
                                               "must then be powered off and on again."))),
                    CONFIRM_YES_NO, ANSWER_NO};
        case GuardAsk::HallMask:
            return {gbk(said(QT_TRANSLATE_NOOP("WriteGuard", "Hall-fault mask"))),
                    gbk(said(QT_TRANSLATE_NOOP("WriteGuard",
                                               "Turn the hall-fault mask on?\n\nThe controller "
                                               "then no longer reports hall sensor faults, and a "
                                               "motor with a broken hall sensor may run badly."))),
                    CONFIRM_YES_NO, ANSWER_NO};
        case GuardAsk::LeaveTest:
            return {gbk(said(QT_TRANSLATE_NOOP("WriteGuard", "Motor test"))),
                    gbk(said(QT_TRANSLATE_NOOP("WriteGuard",
                                               "Stop the motor test?\n\nThe last confirmed test "
                                               "enable was 1.\nYes sends STOP, No leaves the test "
                                               "running, Cancel stays here."))),
                    CONFIRM_YES_NO_CANCEL, ANSWER_YES};
    }
    return {"", "", CONFIRM_YES_NO, ANSWER_NO};
}

void GuardOnWriteConfirmed(int address, int word)
{
    if (address == REG_TEST_ENABLE) g_guard.testEnabled.store(word != 0);
    int count = 0;
    if (address == REG_PARAMETER_STORE) {
        if (word != 1) return;
        g_guard.unstored.store(0);
    } else {
        // Only parameters are changes to store (the layout needs no resources:
        // this runs on the communication thread).
        const RegisterEntry* entry = RegisterLayout().find(address);
        if (entry == nullptr || entry->kind != RegisterKind::Parameter) return;
        count = g_guard.unstored.fetch_add(1) + 1;
    }
    showUnstored(count);
}

bool MotorTestEnabled()
{
    return g_guard.testEnabled.load();
}

int UnstoredChangeCount()
{
    return g_guard.unstored.load();
}

void ResetWriteGuard()
{
    StopWriteGuard();
    g_guard.unstored.store(0);
    g_guard.testEnabled.store(false);
    for (UnsentMark& m : g_guard.unsentMarks) m = UnsentMark{};
    SetBackupOffer({});
}

namespace {
const StateReset kReset(ResetWriteGuard);
}  // namespace

void StartWriteGuard()
{
    std::lock_guard<std::mutex> lock(g_guard.observerMutex);
    if (g_guard.observerToken != 0) return;
    nothingUnstored();  // read now, not by the communication thread at the first store
    g_guard.observerToken = AddWriteObserver([](const WriteRecord& r) {
        if (r.outcome != WriteOutcome::Confirmed) return;
        // What the controller holds counts, where it was read back. The store
        // command is the exception: its echo is the command given, whatever
        // the register reads once the controller has carried it out.
        const bool held = r.readBack && r.address != REG_PARAMETER_STORE;
        GuardOnWriteConfirmed(r.address, held ? r.heldWord : r.word);
    });
}

void StopWriteGuard()
{
    std::lock_guard<std::mutex> lock(g_guard.observerMutex);
    if (g_guard.observerToken == 0) return;
    RemoveWriteObserver(g_guard.observerToken);
    g_guard.observerToken = 0;
}

void SetBackupOffer(BackupOffer offer)
{
    std::lock_guard<std::mutex> lock(g_guard.offerMutex);
    g_guard.backupOffer = std::move(offer);
}

int testStop(int, int, int event, void*, int, int)
{
    if (event == EVENT_COMMIT) SendTestStop();
    return 0;
}

int storeParameters(int panel, int control, int event, void*, int, int)
{
    if (event != EVENT_COMMIT) return 0;
    std::size_t count = 0;
    const SendRow* rows = SendRows(&count);
    for (std::size_t r = 0; r < count; ++r) {
        const SendRow& row = rows[r];
        if (row.kind == SendKind::Command && row.table[row.index].address.load() == REG_PARAMETER_STORE) {
            return PressSendButton(row, panel, control);
        }
    }
    return 0;
}

void MarkUnsentEntries()
{
    std::size_t count = 0;
    const SendRow* rows = SendRows(&count);
    for (std::size_t r = 0; r < count && r < std::size(g_guard.unsentMarks); ++r) {
        const SendRow& row = rows[r];
        if (row.kind == SendKind::Command) continue;
        const int page = row.page->load();
        const DataItem& item = row.table[row.index];
        double shown = 0.0;
        double expected = 0.0;
        if (row.kind == SendKind::Integer) {
            int v = 0;
            if (GetCtrlVal(page, row.control, &v) < 0) continue;
            shown = v;
            const double raw = item.value.load();
            expected = std::isfinite(raw) ? std::trunc(raw) : 0.0;
        } else {
            if (GetCtrlVal(page, row.control, &shown) < 0) continue;
            expected = row.kind == SendKind::Scaled ? scaledValue(item) : item.value.load();
        }
        UnsentMark& m = g_guard.unsentMarks[r];
        int marked = 0;
        if (same(shown, expected) || !m.hasBase) {
            // What the page last put there (or the start value): the new baseline.
            m.base = shown;
            m.hasBase = true;
        } else {
            marked = same(shown, m.base) ? 0 : 1;
        }
        if (marked != m.marked) {
            SetCtrlAttribute(page, row.control, ATTR_MARKED, marked);
            m.marked = marked;
        }
    }
}
