// The page of the service report: the verdict, the fault timeline, the plots
// of the status values, the parameters, the writes, the line and the console.
#include <QDateTime>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "engine/fault_journal.h"
#include "engine/status_text.h"
#include "engine/traffic_decode.h"
#include "model/data_item.h"
#include "model/link_health.h"
#include "platform/os/gbk.h"
#include "report/service_report.h"

namespace {

// The drawing area of every picture, in CSS pixels: the width of an A4 page
// between its margins.
constexpr int kWidth = 680;
constexpr int kLabelWidth = 210;  // fault captions left of the timeline
constexpr int kRowHeight = 18;
constexpr int kPlotHeight = 130;
constexpr const char* kColours[] = {"#1f5fa8", "#c0392b", "#2e8b57", "#8e44ad", "#d35400", "#555555"};
constexpr const char* kCurrentUnit = "A";  // the currents are the status values in amperes

std::string esc(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string num(double v, int decimals = 0)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

std::string clockTime(std::int64_t wallMs)
{
    return QDateTime::fromMSecsSinceEpoch(wallMs).toLocalTime().toString("HH:mm:ss").toStdString();
}

std::string count(std::uint64_t n)
{
    return std::to_string(n);
}

// The time span the pictures share.
struct Span {
    std::int64_t fromMs = 0;
    std::int64_t toMs = 1;
    double x(std::int64_t wallMs, int x0, int x1) const
    {
        const double f = static_cast<double>(wallMs - fromMs) / static_cast<double>(toMs - fromMs);
        return x0 + std::clamp(f, 0.0, 1.0) * (x1 - x0);
    }
};

Span spanOf(const ReportInputs& in, const std::vector<CapturedStatus>& status)
{
    std::int64_t from = status.empty() ? in.madeWallMs : status.front().wallMs;
    std::int64_t to = status.empty() ? in.madeWallMs : status.back().wallMs;
    for (const FaultEvent& e : in.faults) {
        from = std::min(from, e.onsetWallMs);
        to = std::max(to, e.wallMs);
    }
    return {from, std::max(to, from + 1000)};
}

// Time ticks along the bottom of a picture from x0 to x1, at y.
std::string timeAxis(const Span& span, int x0, int x1, int y)
{
    std::string svg = "<line x1=\"" + num(x0) + "\" y1=\"" + num(y) + "\" x2=\"" + num(x1) + "\" y2=\"" +
                      num(y) + "\" stroke=\"#888\"/>";
    for (int i = 0; i <= 4; ++i) {
        const std::int64_t t = span.fromMs + (span.toMs - span.fromMs) * i / 4;
        const double x = span.x(t, x0, x1);
        const char* anchor = i == 0 ? "start" : i == 4 ? "end" : "middle";
        svg += "<line x1=\"" + num(x, 1) + "\" y1=\"" + num(y) + "\" x2=\"" + num(x, 1) + "\" y2=\"" +
               num(y + 4) + "\" stroke=\"#888\"/><text x=\"" + num(x, 1) + "\" y=\"" + num(y + 15) +
               "\" text-anchor=\"" + anchor + "\">" + clockTime(t) + "</text>";
    }
    return svg;
}

// --- The verdict ------------------------------------------------------------------

std::string linkSentence(const LinkCounters& c, std::int64_t madeWallMs)
{
    if (c.requests == 0) return "No request went out on the line.";
    std::string s;
    if (c.lastGoodReplyWallMs < 0) {
        s = "The controller never answered: ";
    } else if (madeWallMs - c.lastGoodReplyWallMs > kStaleMs) {
        s = "NO REPLY for " + num(static_cast<double>(madeWallMs - c.lastGoodReplyWallMs) / 1000.0) +
            " s before the report: ";
    } else {
        s = "The controller is answering: ";
    }
    s += count(c.repliesOk) + " of " + count(c.requests) + " requests answered, " + count(c.timeouts) +
         " time-outs, " + count(c.crcErrors) + " CRC errors, " + count(c.exceptions) + " exceptions";
    if (c.responseMeanUs() >= 0) {
        s += "; response " + num(c.responseMeanUs() / 1000.0) + " ms on average (" +
             num(static_cast<double>(c.responseMinUs) / 1000.0) + " to " +
             num(static_cast<double>(c.responseMaxUs) / 1000.0) + " ms)";
    }
    return s + ".";
}

std::string verdict(const ReportInputs& in, const std::vector<CapturedStatus>& status)
{
    std::string html = "<section class=\"verdict\">";
    if (status.empty()) {
        html +=
            "<p><b>No status reply in the last ten minutes</b>: the controller's state and faults are "
            "not known.</p>";
    } else {
        const CapturedStatus& last = status.back();
        html += "<p><b>" + esc(StatusCaption(0)) + ": " + esc(StatusValueText(0, last.words[0])) +
                "</b> (at " + clockTime(last.wallMs) + ")</p><p>";
        std::string on;
        for (int bit = 0; bit < kFaultBitCount; ++bit) {
            if (!FaultBitSet(last.words, bit)) continue;
            on += std::string(on.empty() ? "" : ", ") + "<span class=\"on\">" + esc(FaultCaption(bit)) +
                  "</span>";
        }
        html += on.empty() ? "no fault on" : "Faults on now: " + on;
        html += "</p>";
    }
    html += "<p>" + esc(linkSentence(in.link, in.madeWallMs)) + "</p></section>\n";
    return html;
}

// --- The fault timeline -----------------------------------------------------------------

struct Bar {
    int bit = 0;
    std::int64_t fromMs = 0;
    std::int64_t toMs = 0;
    bool first = false;
    bool lost = false;
    bool open = false;  // still on at the end
};

std::vector<Bar> barsOf(const std::vector<FaultEvent>& events, const Span& span)
{
    std::vector<Bar> bars;
    std::map<int, std::size_t> open;  // bit -> its bar still on
    for (const FaultEvent& e : events) {
        if (e.kind == FaultEventKind::On) {
            open[e.bit] = bars.size();
            bars.push_back({e.bit, e.wallMs, span.toMs, e.first, false, true});
            continue;
        }
        auto it = open.find(e.bit);
        if (it == open.end()) {  // its onset went before the log
            bars.push_back({e.bit, e.onsetWallMs, e.wallMs, false, e.kind == FaultEventKind::Lost, false});
            continue;
        }
        Bar& b = bars[it->second];
        b.toMs = e.wallMs;
        b.lost = e.kind == FaultEventKind::Lost;
        b.open = false;
        open.erase(it);
    }
    return bars;
}

std::string timeline(const ReportInputs& in, const Span& span)
{
    const std::vector<Bar> bars = barsOf(in.faults, span);
    std::set<int> bits;
    for (const Bar& b : bars) bits.insert(b.bit);
    std::map<int, int> row;
    for (int bit : bits) row.emplace(bit, static_cast<int>(row.size()));
    const int top = 6;
    const int rows = std::max(1, static_cast<int>(bits.size()));
    const int axisY = top + rows * kRowHeight + 4;
    const int x0 = kLabelWidth;
    const int x1 = kWidth - 30;
    std::string svg = "<svg class=\"timeline\" width=\"" + num(kWidth) + "\" height=\"" + num(axisY + 22) +
                      "\" viewBox=\"0 0 " + num(kWidth) + " " + num(axisY + 22) +
                      "\" role=\"img\"><title>Fault timeline</title>";
    if (bits.empty()) {
        svg += "<text x=\"" + num(x0) + "\" y=\"" + num(top + 13) + "\">no fault came on</text>";
    }
    for (const auto& [bit, r] : row) {
        const int y = top + r * kRowHeight;
        svg += "<text x=\"" + num(x0 - 6) + "\" y=\"" + num(y + 13) + "\" text-anchor=\"end\">" +
               esc(FaultCaption(bit)) + "</text>";
    }
    for (const Bar& b : bars) {
        const int y = top + row[b.bit] * kRowHeight + 3;
        const double a = span.x(b.fromMs, x0, x1);
        const double e = std::max(a + 2, span.x(b.toMs, x0, x1));
        const std::string end = b.lost ? "lost" : b.open ? "still on" : clockTime(b.toMs);
        svg += "<rect x=\"" + num(a, 1) + "\" y=\"" + num(y) + "\" width=\"" + num(e - a, 1) +
               "\" height=\"" + num(kRowHeight - 6) + "\" fill=\"" + (b.lost ? "#e59866" : "#c0392b") +
               "\"><title>" + esc(FaultCaption(b.bit)) + ": ON " + clockTime(b.fromMs) + ", " + end +
               (b.first ? ", first-out" : "") + "</title></rect>";
        // The marks: inside the bar where it is wide enough, after it otherwise.
        std::string marks = b.first ? "1st" : "";
        if (b.lost) marks += marks.empty() ? "lost" : ", lost";
        if (b.first) {
            svg += "<path d=\"M" + num(a, 1) + " " + num(y - 3) + " l5 0 l-5 7 z\" fill=\"#000\"/>";
        }
        if (b.first && e - a >= 26) {
            svg += "<text x=\"" + num(a + 6, 1) + "\" y=\"" + num(y + 10) +
                   "\" class=\"mark\" fill=\"#fff\">1st</text>";
            marks = b.lost ? "lost" : "";
        }
        if (!marks.empty()) {
            svg += "<text x=\"" + num(e + 3, 1) + "\" y=\"" + num(y + 10) + "\" class=\"mark\">" + marks +
                   "</text>";
        }
    }
    svg += timeAxis(span, x0, x1, axisY);
    svg += "</svg>\n";

    std::string html = "<h2>Faults</h2>\n" + svg +
                       "<p class=\"legend\">One bar per fault from ON to OFF (or to the loss of the link, "
                       "\"lost\"); \"1st\" marks a first-out fault.</p>\n";
    if (in.faults.empty()) return html + "<p>No fault event in this run.</p>\n";
    html +=
        "<table><tr><th>Time</th><th>Event</th><th>Register, bit</th><th>Fault</th><th>Duration</th>"
        "<th>First-out</th></tr>\n";
    for (const FaultEvent& e : in.faults) {
        const bool on = e.kind == FaultEventKind::On;
        html += "<tr" + std::string(on ? " class=\"on\"" : "") + "><td>" + esc(IsoTime(e.wallMs)) +
                "</td><td>" + FaultEventName(e.kind) + "</td><td>" + std::to_string(e.registerAddress()) +
                " bit " + std::to_string(e.bitInWord()) + "</td><td>" + esc(FaultCaption(e.bit)) +
                "</td><td>" + (on ? "" : FaultDurationText(e.durationS) + " s") + "</td><td>" +
                (on ? (e.first ? "yes" : "no") : "") + "</td></tr>\n";
    }
    return html + "</table>\n";
}

// --- The plots ----------------------------------------------------------------

// The status values plotted, by unit in the order of their first item.
std::vector<std::vector<int>> plotGroups()
{
    std::vector<int> items = {STATUS_BATTERY_VOLTAGE};
    for (int i = 0; i < DATAITEMOR_COUNT; ++i)
        if (StatusUnit(i) == kCurrentUnit) items.push_back(i);
    items.insert(items.end(), {STATUS_CONTROLLER_TEMP, STATUS_MOTOR_TEMP, STATUS_MOTOR_SPEED});
    std::vector<std::vector<int>> groups;
    std::vector<std::string> units;
    for (int item : items) {
        const auto at = std::find(units.begin(), units.end(), StatusUnit(item));
        if (at == units.end()) {
            units.push_back(StatusUnit(item));
            groups.push_back({item});
        } else {
            groups[static_cast<std::size_t>(at - units.begin())].push_back(item);
        }
    }
    return groups;
}

std::string plot(const std::vector<int>& items, const std::vector<CapturedStatus>& status, const Span& span)
{
    const std::string unit = StatusUnit(items.front());
    double lo = HUGE_VAL;
    double hi = -HUGE_VAL;
    for (const CapturedStatus& s : status) {
        for (int i : items) {
            const double v = StatusPhysical(i, s.words[static_cast<std::size_t>(i)]);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    if (hi - lo < 1e-9) {
        lo -= 1;
        hi += 1;
    }
    const int x0 = 60;
    const int x1 = kWidth - 10;
    const int y0 = 8;
    const int y1 = kPlotHeight - 24;
    const auto y = [&](double v) { return y1 - (v - lo) / (hi - lo) * (y1 - y0); };
    const int decimals = hi - lo < 10 ? 1 : 0;
    std::string svg = "<svg class=\"plot\" width=\"" + num(kWidth) + "\" height=\"" + num(kPlotHeight) +
                      "\" viewBox=\"0 0 " + num(kWidth) + " " + num(kPlotHeight) + "\" role=\"img\"><title>" +
                      esc(unit.empty() ? "Status" : unit) + "</title>";
    svg += "<rect x=\"" + num(x0) + "\" y=\"" + num(y0) + "\" width=\"" + num(x1 - x0) + "\" height=\"" +
           num(y1 - y0) + "\" fill=\"none\" stroke=\"#ccc\"/>";
    svg += "<text x=\"" + num(x0 - 4) + "\" y=\"" + num(y0 + 10) + "\" text-anchor=\"end\">" +
           num(hi, decimals) + "</text><text x=\"" + num(x0 - 4) + "\" y=\"" + num(y1) +
           "\" text-anchor=\"end\">" + num(lo, decimals) + "</text><text x=\"4\" y=\"" +
           num((y0 + y1) / 2.0 + 4) + "\">" + esc(unit) + "</text>";
    for (std::size_t n = 0; n < items.size(); ++n) {
        const int item = items[n];
        // At most the lowest and the highest value of each pixel's column, in order.
        std::string points;
        int column = -1;
        double low = 0;
        double high = 0;
        const auto flush = [&] {
            if (column < 0) return;
            points += num(column) + "," + num(y(high), 1) + " ";
            if (high != low) points += num(column) + "," + num(y(low), 1) + " ";
        };
        for (const CapturedStatus& s : status) {
            const double v = StatusPhysical(item, s.words[static_cast<std::size_t>(item)]);
            const int c = static_cast<int>(span.x(s.wallMs, x0, x1));
            if (c != column) {
                flush();
                column = c;
                low = high = v;
            }
            low = std::min(low, v);
            high = std::max(high, v);
        }
        flush();
        const char* colour = kColours[n % (sizeof kColours / sizeof kColours[0])];
        svg += "<polyline fill=\"none\" stroke=\"" + std::string(colour) +
               "\" stroke-width=\"1.2\" points=\"" + points + "\"/>";
    }
    svg += timeAxis(span, x0, x1, y1);
    svg += "</svg>\n";
    std::string legend = "<p class=\"legend\">";
    for (std::size_t n = 0; n < items.size(); ++n) {
        legend += "<span style=\"color:" + std::string(kColours[n % (sizeof kColours / sizeof kColours[0])]) +
                  "\">&#9632; " + esc(StatusCaption(items[n])) + "</span> ";
    }
    return svg + legend + "</p>\n";
}

std::string plots(const std::vector<CapturedStatus>& status, const Span& span)
{
    std::string html = "<h2>Status</h2>\n";
    if (status.empty()) return html + "<p>No status reply in the last ten minutes.</p>\n";
    for (const std::vector<int>& group : plotGroups()) html += plot(group, status, span);
    return html;
}

// --- The parameters ---------------------------------------------------------------

std::string valueOf(const psets::RegisterInfo& info, int word)
{
    std::string text = psets::FormatValue(info, word);
    if (!info.controls.empty()) {
        const std::string item = info.controls.front().itemCaption(word);
        if (!item.empty()) text += " (" + item + ")";
    }
    return text;
}

std::string parameters(const ReportInputs& in)
{
    std::string html = "<h2>Parameters</h2>\n";
    if (!in.parametersRead) {
        return html + "<p class=\"problem\">The parameters could not be read" +
               (in.parametersProblem.empty() ? "" : ": " + esc(in.parametersProblem)) + ".</p>\n";
    }
    std::map<int, psets::Comparison> compared;
    if (in.reference) {
        for (const psets::Comparison& c : psets::Compare(*in.reference, in.parameters))
            if (c.info != nullptr) compared[c.info->reg] = c;
        int differing = 0;
        for (const auto& [reg, c] : compared) differing += c.differs && c.compared() ? 1 : 0;
        const std::string name = QFileInfo(QString::fromStdString(in.referenceName)).fileName().toStdString();
        html += "<p>" + std::to_string(differing) + " of " + std::to_string(compared.size()) +
                " registers differ from the reference " + esc(name) + " (marked).</p>\n";
    }
    std::string page;
    for (const psets::RegisterInfo& info : psets::Registers()) {
        const auto word = in.parameters.find(info.reg);
        if (word == in.parameters.end()) continue;
        if (info.page != page || page.empty()) {
            if (!page.empty()) html += "</table>\n";
            page = info.page.empty() ? " " : info.page;
            html += "<h3>" + esc(info.page) +
                    "</h3>\n<table><tr><th>Register</th><th>Parameter</th><th>Value</th>"
                    "<th>Unit</th>" +
                    (in.reference ? "<th>Reference</th>" : "") + "</tr>\n";
        }
        const auto c = compared.find(info.reg);
        const bool differs = c != compared.end() && c->second.differs;
        const bool marked = differs && c->second.compared();
        html += std::string(marked ? "<tr class=\"differs\">" : "<tr>") + "<td>" + std::to_string(info.reg) +
                "</td><td>" + esc(info.caption) + "</td><td>" + esc(valueOf(info, word->second)) +
                "</td><td>" + esc(info.unit) + "</td>";
        if (in.reference) {
            std::string ref;
            if (c != compared.end()) {
                ref = valueOf(info, c->second.fileWord);
                if (differs) ref += marked ? " (differs)" : std::string(" (") + psets::kNotCompared + ")";
            }
            html += "<td>" + esc(ref) + "</td>";
        }
        html += "</tr>\n";
    }
    if (!page.empty()) html += "</table>\n";
    return html;
}

// --- The writes, the line, the console ------------------------------------------------------

std::string writes(const ReportInputs& in)
{
    std::string html = "<h2>Writes</h2>\n";
    if (!in.madeFrom.empty()) {
        return html +
               "<p>Not known from a capture: the console's write journal of the time holds them.</p>\n";
    }
    if (in.writes.empty()) return html + "<p>No write in this run.</p>\n";
    html += "<table><tr><th>Time</th><th>From</th><th>Register</th><th>Write</th><th>Outcome</th></tr>\n";
    for (const WriteRecord& r : in.writes) {
        std::string outcome = WriteOutcomeName(r.outcome);
        if (!r.detail.empty()) outcome += ": " + GbkToUtf8Lenient(r.detail);
        html += std::string(r.good() ? "<tr>" : "<tr class=\"bad\">") + "<td>" + esc(IsoTime(r.endedMs)) +
                "</td><td>" + esc(GbkToUtf8Lenient(r.what.panel)) + "</td><td>" + std::to_string(r.address) +
                "</td><td>" + esc(GbkToUtf8Lenient(r.entry())) + "</td><td>" + esc(outcome) + "</td></tr>\n";
    }
    return html + "</table>\n";
}

std::string row(const std::string& name, const std::string& value)
{
    return "<tr><th>" + esc(name) + "</th><td>" + esc(value) + "</td></tr>\n";
}

std::string ms(std::int64_t us)
{
    return us < 0 ? "-" : num(static_cast<double>(us) / 1000.0, 1) + " ms";
}

std::string line(const LinkCounters& c)
{
    std::string html = "<h2>Line</h2>\n<table class=\"pairs\">\n";
    html += row("Requests", count(c.requests)) + row("Replies accepted", count(c.repliesOk)) +
            row("Time-outs", count(c.timeouts)) + row("CRC errors", count(c.crcErrors)) +
            row("Exceptions", count(c.exceptions)) + row("Other rejected replies", count(c.otherRejects)) +
            row("Password writes", count(c.passwordWrites)) + row("Port errors", count(c.portErrors)) +
            row("Bytes sent / received", count(c.bytesSent) + " / " + count(c.bytesReceived)) +
            row("Response time (last, least, mean, most)",
                ms(c.responseLastUs) + ", " + ms(c.responseMinUs) + ", " +
                    ms(c.responseMeanUs() < 0 ? -1 : static_cast<std::int64_t>(c.responseMeanUs())) + ", " +
                    ms(c.responseMaxUs));
    return html + "</table>\n";
}

std::string about(const ReportAbout& a)
{
    std::string html = "<h2>About</h2>\n<table class=\"pairs\">\n";
    html += row("Console", "drive-console " + a.version) + row("Operating system", a.system) +
            row("Port", "COM" + std::to_string(a.comNumber) + ", " + a.device) +
            row("Line settings", a.lineSettings) + row("Framing", a.framing);
    if (!a.byIdName.empty()) html += row("Device by id", a.byIdName);
    if (!a.usbSerial.empty()) html += row("USB serial number", a.usbSerial);
    if (!a.usbDescription.empty()) html += row("USB adapter", a.usbDescription);
    if (!a.networkAddress.empty()) html += row("Network address", a.networkAddress);
    return html + "</table>\n";
}

constexpr const char* kStyle =
    "@page{size:A4;margin:12mm}"
    "body{font-family:'DejaVu Sans',Arial,sans-serif;font-size:10pt;color:#222;max-width:180mm;margin:8mm "
    "auto}"
    "h1{font-size:16pt;margin:0 0 2mm}h2{font-size:12.5pt;border-bottom:1px solid #999;margin:6mm 0 2mm}"
    "h3{font-size:10.5pt;margin:4mm 0 1mm}"
    "table{border-collapse:collapse;width:100%;margin-bottom:2mm}"
    "th,td{border:1px solid #ccc;padding:1px 4px;text-align:left;vertical-align:top}th{background:#eee}"
    "table.pairs th{width:45%}tr{break-inside:avoid}"
    "svg{display:block;max-width:100%;height:auto;break-inside:avoid;font-size:10px}"
    ".verdict{border:2px solid #444;padding:1mm 3mm;margin:3mm 0}.verdict p{margin:1mm 0}"
    ".on,span.on{color:#c00;font-weight:bold}tr.on td{color:#c00}"
    "tr.differs td{background:#fde2e2;font-weight:bold}tr.bad td{color:#c00}"
    ".problem{color:#c00;font-weight:bold}.legend{font-size:8.5pt;margin:0 0 3mm}.made{color:#555}"
    ".mark{font-size:9px}";

}  // namespace

std::string ReportHtml(const ReportInputs& in, const std::vector<CapturedStatus>& status)
{
    const Span span = spanOf(in, status);
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n<title>Service report " +
        esc(IsoTime(in.madeWallMs)) + "</title>\n<style>" + kStyle + "</style></head>\n<body>\n";
    html += "<h1>Service report</h1>\n<p class=\"made\">" + esc(IsoTime(in.madeWallMs)) +
            " &middot; drive-console " + esc(in.about.version) + " &middot; " + esc(in.about.lineSettings) +
            " &middot; from " + clockTime(span.fromMs) + " to " + clockTime(span.toMs) +
            (in.madeFrom.empty() ? "" : " &middot; made from the capture " + esc(in.madeFrom)) + "</p>\n";
    html += verdict(in, status);
    html += timeline(in, span);
    html += plots(status, span);
    html += parameters(in);
    html += writes(in);
    html += line(in.link);
    html += about(in.about);
    return html + "</body></html>\n";
}
