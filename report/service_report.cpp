#include "report/service_report.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>

#include "engine/fault_journal.h"
#include "engine/line_capture.h"
#include "engine/status_recorder.h"
#include "engine/traffic_decode.h"
#include "engine/write_journal.h"
#include "modbus/capture_file.h"
#include "model/line_flags.h"
#include "platform/os/zip_file.h"
#include "platform/port/port_discovery.h"

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

QByteArray linkJson(const LinkCounters& c)
{
    QJsonObject o;
    const auto count = [](std::uint64_t n) { return static_cast<double>(n); };
    o["requests"] = count(c.requests);
    o["replies_ok"] = count(c.repliesOk);
    o["timeouts"] = count(c.timeouts);
    o["crc_errors"] = count(c.crcErrors);
    o["exceptions"] = count(c.exceptions);
    o["other_rejects"] = count(c.otherRejects);
    o["password_writes"] = count(c.passwordWrites);
    o["port_errors"] = count(c.portErrors);
    o["bytes_sent"] = count(c.bytesSent);
    o["bytes_received"] = count(c.bytesReceived);
    QJsonObject response;
    response["replies"] = count(c.responses);
    const auto ms = [](std::int64_t us) { return us < 0 ? QJsonValue() : QJsonValue(us / 1000.0); };
    response["last_ms"] = ms(c.responseLastUs);
    response["min_ms"] = ms(c.responseMinUs);
    response["mean_ms"] = c.responseMeanUs() < 0 ? QJsonValue() : QJsonValue(c.responseMeanUs() / 1000.0);
    response["max_ms"] = ms(c.responseMaxUs);
    o["response_time"] = response;
    o["last_good_reply"] = c.lastGoodReplyWallMs < 0 ? QJsonValue() : qs(IsoTime(c.lastGoodReplyWallMs));
    return QJsonDocument(o).toJson();
}

QByteArray aboutJson(const ReportAbout& a, std::int64_t madeWallMs, const std::string& madeFrom)
{
    QJsonObject o;
    o["made"] = qs(IsoTime(madeWallMs));
    if (!madeFrom.empty()) o["made_from_capture"] = qs(madeFrom);
    o["console_version"] = qs(a.version);
    o["operating_system"] = qs(a.system);
    QJsonObject port;
    port["com"] = a.comNumber;
    port["device"] = qs(a.device);
    port["line_settings"] = qs(a.lineSettings);
    port["framing"] = qs(a.framing);
    o["port"] = port;
    QJsonObject identity;
    identity["by_id"] = qs(a.byIdName);
    identity["usb_serial"] = qs(a.usbSerial);
    identity["usb_description"] = qs(a.usbDescription);
    identity["network_address"] = qs(a.networkAddress);
    o["controller"] = identity;
    return QJsonDocument(o).toJson();
}

QByteArray lines(const std::string& header, const std::vector<std::string>& rows)
{
    std::string text = header + "\n";
    for (const std::string& row : rows) text += row + "\n";
    return QByteArray::fromStdString(text);
}

}  // namespace

std::string WithoutHome(std::string text)
{
    const std::string home = QDir::homePath().toStdString();
    if (home.size() < 2) return text;  // "/" would take every path apart
    for (std::size_t at = text.find(home); at != std::string::npos; at = text.find(home, at + 1))
        text.replace(at, home.size(), "~");
    return text;
}

std::string ReportSystemName()
{
    return (QSysInfo::prettyProductName() + " (" + QSysInfo::kernelType() + " " + QSysInfo::kernelVersion() +
            ", " + QSysInfo::currentCpuArchitecture() + ")")
        .toStdString();
}

ReportAbout DescribeConsole(const std::string& version, const std::string& device)
{
    ReportAbout a;
    a.version = version;
    a.system = ReportSystemName();
    a.comNumber = active_comselect.load();
    a.device = WithoutHome(device);
    const CaptureInterface port = DescribeOpenPort();
    a.lineSettings = WithoutHome(port.name);
    a.framing = port.description.size() > port.name.size() + 2 ? port.description.substr(port.name.size() + 2)
                                                               : port.description;
    a.framing = WithoutHome(a.framing);
    if (device.find("://") != std::string::npos) {
        a.networkAddress = device;
        return a;
    }
    const std::vector<SerialPortEntry> ports = ListSerialPorts();
    if (const SerialPortEntry* entry = FindPort(ports, device)) {
        a.byIdName = entry->byIdPath;
        a.usbSerial = entry->serialNumber;
        a.usbDescription = DescribePort(*entry);
    }
    return a;
}

std::vector<CapturedStatus> StatusOfCapture(const std::vector<unsigned char>& capture)
{
    std::vector<CapturedStatus> status;
    CaptureReader reader;
    std::string error;
    if (capture.empty() || !reader.openBytes(capture, "capture", &error)) return status;
    std::vector<unsigned char> request;  // the last request, until a reply takes it
    for (CaptureReader::Item item = reader.next();
         item != CaptureReader::Item::End && item != CaptureReader::Item::Error; item = reader.next()) {
        if (item != CaptureReader::Item::Packet) {
            request.clear();  // a port opened or closed: no request awaits a reply
            continue;
        }
        const CapturePacket& p = reader.packet();
        if (p.direction == CaptureDirection::Outbound) {
            request = p.bytes;
            continue;
        }
        if (p.direction != CaptureDirection::Inbound || request.empty()) continue;
        CapturedStatus s;
        if (p.comment == "accepted" &&
            StatusReplyWords(request.data(), static_cast<int>(request.size()), p.bytes.data(),
                             static_cast<int>(p.bytes.size()), s.words.data())) {
            s.wallMs = p.timeUs / 1000;
            status.push_back(s);
        }
        request.clear();
    }
    return status;
}

std::string ReportFileName(std::int64_t wallMs)
{
    return "drive-report-" +
           QDateTime::fromMSecsSinceEpoch(wallMs).toLocalTime().toString("yyyyMMdd-HHmmss").toStdString() +
           ".zip";
}

std::map<std::string, QByteArray> ReportMembers(const ReportInputs& in)
{
    const std::vector<CapturedStatus> status = StatusOfCapture(in.capture);
    std::map<std::string, QByteArray> m;
    m["report.html"] = QByteArray::fromStdString(ReportHtml(in, status));
    if (in.parametersRead) {
        m["parameters.json"] = psets::ToJson(psets::SetFromWords(in.parameters, "service report"));
    }
    std::vector<std::string> rows;
    for (const FaultEvent& e : in.faults) rows.push_back(FaultJournalLine(e));
    m["faults.csv"] = lines(FaultJournalHeader(), rows);
    rows.clear();
    for (const WriteRecord& r : in.writes) rows.push_back(WriteJournalLine(r));
    m["writes.csv"] = lines(kWriteJournalHeader, rows);
    rows.clear();
    for (const CapturedStatus& s : status) rows.push_back(StatusRecorder::RowLine(s.wallMs, s.words.data()));
    m["status.csv"] = lines(StatusRecorder::HeaderLine(), rows);
    m["capture.pcapng"] = QByteArray(reinterpret_cast<const char*>(in.capture.data()),
                                     static_cast<qsizetype>(in.capture.size()));
    m["link.json"] = linkJson(in.link);
    m["about.json"] = aboutJson(in.about, in.madeWallMs, in.madeFrom);
    for (const auto& [name, png] : in.panels) m["panels/" + name] = png;
    return m;
}

bool SaveReport(const std::string& path, const ReportInputs& inputs, std::string* error)
{
    ZipWriter zip(inputs.madeWallMs);
    for (auto& [name, bytes] : ReportMembers(inputs)) zip.add(name, bytes);
    return zip.save(path, error);
}
