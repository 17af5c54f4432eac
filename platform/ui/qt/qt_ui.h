// The Qt Widgets user-interface backend.
//
// Panels are built from the panel resources (platform/ui/uir.h). Every UiBackend
// operation may be called from any thread; only the thread that created the
// QApplication (the UI thread) touches widgets:
// - each control keeps its value in a store that SetCtrlVal updates at once
//   from any thread and operator edits update through widget signals; reads
//   come from the store and never wait for the UI thread;
// - a write from another thread is queued to the UI thread, which copies the
//   store into the widget (writes to one control coalesce);
// - callbacks run on the UI thread with (handle of the panel or tab page that
//   holds the control, control id, event, callback data, eventData1,
//   eventData2); eventData1/2 are 0 except for EVENT_ACTIVE_TAB_CHANGE, where
//   they are the page left and the page now shown;
// - while a message popup is open on the UI thread no control or menu
//   callback is delivered (timer ticks are dropped);
// - MessagePopup from a worker waits until the operator closes the box; while
//   the UI loop is not running it prints the message to stderr and returns
//   UIE_NO_LOOP at once, and when the loop ends every waiting worker is
//   released with UIE_NO_LOOP.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

class QObject;
class QString;
class QWidget;

namespace qtui {

// Creates the QApplication if there is none and installs the backend. Call on
// the thread that is to be the UI thread. False if a non-widget application
// object already exists.
// Calls nest: an inner pair of InitUserInterface / ShutdownUserInterface
// leaves the running backend alone.
bool InitUserInterface(int& argc, char** argv);

// Uninstalls the backend, releases waiting popups, deletes every panel's
// widgets, and deletes the QApplication if InitUserInterface created it. UI
// thread only.
void ShutdownUserInterface();

// Renders a panel or tab page to a PNG file, shown or not. UI thread only.
bool SavePanelPng(int panel, const std::string& path);

// Renders the box MessagePopup would show (GBK texts) to a PNG file. UI
// thread only.
bool SaveMessagePng(const std::string& title, const std::string& text, const std::string& path);

// Renders the box ConfirmPopup would show (title and text in GBK) to a PNG
// file, without showing it. UI thread only.
bool SaveConfirmPng(const std::string& title, const std::string& text, int buttons, int defaultAnswer,
                    const std::string& path);
// Renders the dialog of SelectionPopup with these rows to a PNG file, without
// waiting for anyone to answer it. UI thread only.
bool SaveSelectionPopupPng(const std::string& title, const std::string& heading,
                           const std::vector<std::string>& rows, const std::string& path);

// The widget of a panel or tab page, nullptr for a bad handle. UI thread only.
QWidget* PanelWidget(int panel);
// UI thread: appends `suffix` to a panel's title, once, for good.
void AppendToPanelTitle(int panel, const QString& suffix);

// From any thread: runs `fn` on the UI thread later, unless `context` (a
// UI-thread object) is gone by then. The hand-over goes through the same
// locked queue as control updates, so race checkers see its order.
void RunOnUiThread(QObject* context, std::function<void()> fn);

// UI thread: runs `fn` whenever a translator is installed in the application
// or removed from it, for as long as `owner` lives, so that the texts it
// shows follow the language. (A switch installs or removes a few: `fn` may
// run more than once, and must only show texts again.)
void OnLanguageChange(QObject* owner, std::function<void()> fn);

}  // namespace qtui
