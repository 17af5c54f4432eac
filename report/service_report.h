// The service report: everything engineering asks for when a controller is
// escalated, in one zip file.
//
//   report.html     one page, readable in any browser and printable to A4:
//                   styles and pictures inline, no script, nothing fetched
//   parameters.json the controller's set as `dump` writes it
//   faults.csv      the fault events of the run, in the journal's format
//   writes.csv      the writes of the run, in the journal's format
//   status.csv      the status replies of the capture, in the recording's format
//   capture.pcapng  the line of the last ten minutes
//   link.json       the line's counters and response times
//   about.json      the console, the system, the port and the controller's identity
//   panels/*.png    (the window's report) every panel as drawn at the time
//
// Nothing else of the machine goes in: the paths of files the report names
// are cut to their file names, and the home folder never appears.
//
// The builder has no widgets and touches no line: whoever makes the report
// (the command, the window) collects what goes in and hands it over.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/fault_tracker.h"
#include "modbus/line_events.h"
#include "modbus/write_outcome.h"
#include "sets/parameter_set.h"

// The console and what it is connected to.
struct ReportAbout {
    std::string version;  // the console's
    std::string system;   // the operating system, by name and version
    int comNumber = 0;
    std::string device;        // as the console opened it
    std::string lineSettings;  // "COM1 /dev/ttyUSB0 19200 8O1"
    std::string framing;       // "100 ms passes", "line rate, reply time-out 500 ms"
    // The controller's identity as far as the console knows it; each may be empty.
    std::string byIdName;   // /dev/serial/by-id/..., or the adapter's stable name on Windows
    std::string usbSerial;  // the adapter's serial number
    std::string usbDescription;
    std::string networkAddress;
};

// What the console knows of this machine and `device`: the version is the
// caller's; the port's settings are those of the port open now.
ReportAbout DescribeConsole(const std::string& version, const std::string& device);
// The operating system by name and version, as the about block gives it.
std::string ReportSystemName();
// `text` with the home folder put as "~": a device or a file name may sit in it.
std::string WithoutHome(std::string text);

struct ReportInputs {
    std::int64_t madeWallMs = 0;  // when the report was made
    ReportAbout about;
    // The parameters, read fresh; when they could not be, why.
    bool parametersRead = false;
    std::map<int, int> parameters;  // by register, as psets::TableWords gives them
    std::string parametersProblem;
    // A set to compare the parameters with, and its file's name.
    std::optional<psets::ParameterSet> reference;
    std::string referenceName;
    std::vector<unsigned char> capture;  // pcapng of the last ten minutes
    std::vector<FaultEvent> faults;      // of the run, oldest first
    std::vector<WriteRecord> writes;     // of the run, in the order they ended
    LinkCounters link;
    std::map<std::string, QByteArray> panels;  // PNG by file name, "main panel.png"
    // The capture file the report was made from (its name only); empty for a
    // report of the line. Such a report has no writes: they are not known.
    std::string madeFrom;
};

// A status reply of the capture.
struct CapturedStatus {
    std::int64_t wallMs = 0;
    StatusWords words{};
};
// The status replies in a pcapng capture, oldest first: each inbound packet
// the console accepted ("accepted") as the reply to a status read that went
// out just before it. A capture that cannot be read gives what came before
// the fault.
std::vector<CapturedStatus> StatusOfCapture(const std::vector<unsigned char>& capture);

// The report's page.
std::string ReportHtml(const ReportInputs& inputs, const std::vector<CapturedStatus>& status);

// "drive-report-20261209-114205.zip", by the local time of `wallMs`.
std::string ReportFileName(std::int64_t wallMs);

// Writes the bundle to `path` whole (or nothing at all). False, with the reason.
bool SaveReport(const std::string& path, const ReportInputs& inputs, std::string* error);
// The bundle's members by name.
std::map<std::string, QByteArray> ReportMembers(const ReportInputs& inputs);
