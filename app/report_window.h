// Help > "Save service report…" (MENU_REPORT): the service report of the
// window (report/service_report.h) in a folder the technician chooses, with
// a progress bar while the pages are read and the panels drawn.
//
// The report has what the window has: the fault events and the writes since
// it started, the last ten minutes of the line, the counters, and every panel
// and page as PNG with the values of the moment. A controller that does not
// answer (or a port that is not open) still gets its report, whose parameters
// section says why they are missing. UI thread only.
#pragma once

#include <functional>
#include <string>

class LineCapture;

// Keeps `capture` (the window's, not owned) for the reports, until
// DestroyServiceReports.
void CreateServiceReports(const LineCapture* capture);
void DestroyServiceReports();

// Menu callback of MENU_REPORT: asks for the folder and whether to compare
// the parameters with a reference set, then writes the report there.
void serviceReport(int menuBar, int menuItem, void* callbackData, int panel);

// Writes the report into `folder` as the menu does once the folder (and the
// reference set, "" for none) is chosen; `done` gets, on the UI thread,
// whether it was written and its path or why not.
void SaveServiceReportIn(const std::string& folder, const std::string& reference,
                         std::function<void(bool written, const std::string& pathOrError)> done);
