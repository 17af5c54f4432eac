// The FILE menu: save the controller's parameter set, and compare it with a
// file in a window from which the differing rows can be written back.
#pragma once

#include <QWidget>
#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "sets/parameter_set.h"
#include "sets/set_line.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

// Gives the main panel's FILE entry its drop-down menu. UI thread, after the
// panels are loaded.
void InstallFileMenu();

// Reads the pages fresh and saves them to `path`; the outcome is shown in a
// message box. UI thread; returns at once.
void SaveParametersTo(const std::string& path);

// Reads the pages fresh and saves them to a new file in the backups folder of
// the state folder, waiting for it (the panels stay drawn). Sets `path` to the
// file; false, with `error` set, when nothing was saved. UI thread.
bool SaveBackupNow(std::string* path, std::string* error);

// Offered before a factory restore: asks whether to save a backup first and
// saves it. False when the operator cancelled or the backup failed, and then
// nothing may be restored.
bool OfferBackupBeforeRestore();

// Loads `path` and opens a comparison window for it; a file that cannot be
// loaded is reported and nothing opens. Returns the window or nullptr.
class CompareWindow;
CompareWindow* OpenComparison(const std::string& path);

// Renders a comparison window against the tables' words, with two rows made
// to differ, to a PNG file (for --screenshots). UI thread.
bool SaveComparisonPicture(const std::string& path);

// One row per register of a file: page, caption, controller value, file
// value, unit and a check box to write it. Rows that differ are marked and
// checked. "Write checked" asks before a row turns the hall-fault mask on (No
// leaves it unwritten: "not written: declined"), saves a backup of the
// controller's set first (once per window), writes the checked rows one at a
// time through the send flags, reads the pages back and shows each row's
// outcome.
class CompareWindow : public QWidget {
public:
    CompareWindow(std::string path, psets::ParameterSet set, QWidget* parent);
    ~CompareWindow() override;
    CompareWindow(const CompareWindow&) = delete;
    CompareWindow& operator=(const CompareWindow&) = delete;

    // Reads the controller's pages and fills the controller column.
    void readController();
    // Fills the controller column from `words` (as psets::TableWords gives).
    void showController(const std::map<int, int>& words);
    void writeChecked();
    // Shows how many rows differ and how many are checked.
    void announceCounts();

    bool busy() const { return worker_.joinable() && !finished_.load(); }
    const std::string& backupPath() const { return backupPath_; }

    // Give-up time of each wait on the line (tests shorten it).
    int giveUpMs = psets::kDefaultGiveUpMs;

    enum Column { kWrite, kRegister, kPage, kCaption, kController, kFile, kUnit, kOutcome, kColumns };

private:
    void run(std::function<void()> work, std::function<void()> done);
    void finishRun();
    void setStatus(const QString& text, bool error);
    void showOutcomes(const std::vector<psets::RestoreRow>& rows);
    // With "Only rows that differ or were written" on, hides the other rows.
    void filterRows();
    // Enables "Write checked" when rows are checked; returns their count.
    int updateCounts();

    std::string path_;
    psets::ParameterSet set_;
    QTableWidget* table_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* write_ = nullptr;
    QPushButton* reread_ = nullptr;
    QCheckBox* only_ = nullptr;
    std::thread worker_;
    std::atomic<bool> finished_{true};
    std::atomic<bool> cancel_{false};
    std::atomic<int> progress_{0};
    int writing_ = 0;
    std::function<void()> done_;
    bool haveController_ = false;
    std::map<int, int> controller_;  // the words the controller column shows
    std::string backupPath_;         // the backup of the latest press that wrote
};
