// Shared between the Qt backend's handle/threading half (qt_backend.cpp) and
// its widget-building half (qt_build.cpp). Not for use outside platform/ui/qt.
#pragma once

#include <QColor>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ui/ui.h"
#include "platform/ui/uir.h"

class QMessageBox;

namespace qtui::detail {

constexpr int kNoColor = -1;  // table cell drawn in the default text colour

struct CellStore {
    QString text;
    QString toolTip;
    int color = kNoColor;
    bool dirty = false;
    // A cell the resource fills: its shipped text and that text in the
    // language installed, shown while the cell holds the shipped text.
    QString shipped;
    QString translated;
};

// One control: its fixed description, its value store (any thread), and its
// widgets (UI thread only).
struct CtrlRec {
    // Fixed once the panel is published.
    int id = 0;
    uirfile::Kind kind = uirfile::Kind::Text;
    std::string constant;
    int holder = 0;  // handle of the panel or tab page holding the control
    CtrlCallbackPtr callback = nullptr;
    void* callbackData = nullptr;
    bool indicator = false;
    bool hasMin = false;
    bool hasMax = false;
    double min = 0.0;
    double max = 0.0;
    int prec = 0;
    std::vector<int> ringValues;
    QStringList ringCaptions;
    std::vector<int> pages;  // tab: page handles by index
    int rows = 0;
    int cols = 0;

    // Value store.
    std::atomic<double> number{0.0};
    std::atomic<int> integer{0};  // ring item value, switch/LED state, tab page
    std::atomic<int> ringPos{0};
    // An LED whose colours nobody set shows red and dark red.
    std::atomic<int> onColor{0xFF0000};
    std::atomic<int> offColor{0x400000};
    std::atomic<double> interval{0.0};
    std::atomic<int> enabled{0};
    std::atomic<int> visible{1};
    std::atomic<int> dimmed{0};
    std::atomic<int> marked{0};
    std::mutex mutex;  // ring writes (value and position together), text, cells
    QString text;
    bool textDirty = false;
    // A text control's caption as shipped and in the language installed:
    // while `text` holds the shipped one, the other is shown.
    QString captionShipped;
    QString captionShown;
    std::vector<CellStore> cells;  // row-major, rows * cols
    bool cellsDirty = false;
    QString toolTip;  // guarded by mutex
    bool toolTipDirty = false;
    std::atomic<bool> syncQueued{false};
    std::atomic<int> textColor{-1};  // text: RGB of the text, -1 for the palette's

    // UI thread only.
    QPointer<QWidget> widget;
    QPointer<QWidget> caption;  // caption label beside the widget, if any
    QPointer<QWidget> frame;    // what is placed on the grid when it is not `widget`
    QPointer<QTimer> timer;
};

struct PanelRec {
    int handle = 0;
    int parent = 0;     // parent panel; 0 for a top-level panel
    bool page = false;  // a tab page: `parent` is the panel holding the tab
    std::string constant;
    QString title;                                     // the resource's title (+ version); UI thread
    std::map<int, std::shared_ptr<CtrlRec>> controls;  // fixed once published
    std::vector<int> children;                         // guarded by the registry lock
    QPointer<QWidget> widget;                          // UI thread only
    // What AppendToPanelTitle added to the title; UI thread.
    QString titleSuffix;
    // Each shows one of the panel's texts (pages included) in the language
    // installed now, through the translators; UI thread.
    std::vector<std::function<void()>> texts;
};

// Hooks the widgets call on the UI thread.
struct Hooks {
    std::function<void(const std::shared_ptr<CtrlRec>&, int event, int data1, int data2)> controlEvent;
    std::function<void(MenuCallbackPtr, void* data, int menuBar, int entry, int panel)> menuEvent;
    std::function<int()> newHandle;
};

struct Built {
    QWidget* window = nullptr;
    std::shared_ptr<PanelRec> panel;
    std::vector<std::shared_ptr<PanelRec>> pages;
};

// Builds the window of a panel and the records of it and its tab pages. The
// window is hidden; `parentWindow` is null for a top-level panel.
Built BuildPanel(const uirfile::Panel& desc, QWidget* parentWindow, const Hooks& hooks);

// Copies a control's store into its widgets without any signal echoing back.
void SyncWidget(CtrlRec& c);

// Gives a message box with a short text a readable width of `minEm`; a box
// with a longer line (a folder, say) sizes itself to it, where a fixed minimum
// would cut the line off.
void KeepMessageReadable(QMessageBox* box, const QString& text, int minEm = 16);

// The question box of ConfirmPopup, ready to exec() or to render.
std::unique_ptr<QWidget> BuildConfirmBox(const QString& title, const QString& text, int buttons,
                                         int defaultAnswer);

// Text of a numeric read-out.
QString FormatNumber(double value, int prec);

}  // namespace qtui::detail
