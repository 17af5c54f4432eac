// The line monitor as a screen reader on Linux hears it: over AT-SPI, the
// accessibility bus. The test starts a session bus of its own, the
// accessibility bus launcher and a virtual X display, runs the console on
// Qt's xcb platform against its simulated controller, and reads the monitor's
// value labels through the accessibility registry, as a screen reader would.
// Every wait is bounded; every process it started (and whatever those left
// behind) ends with the test.
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace {

using namespace std::chrono_literals;

int g_argc = 1;
char g_arg0[] = "monitor_atspi_test";
char* g_argv[] = {g_arg0, nullptr};

constexpr int kStartMs = 10000;   // a helper is up, or the console's window is on the bus
constexpr int kCallMs = 3000;     // one call on a bus
constexpr int kUpdateMs = 10000;  // the monitor has drawn new counts (it drains once a second)
constexpr int kEndMs = 5000;      // a process ends once asked
// Every label on the bus with a count: a deadline, not a measure; a console
// built with a sanitizer, beside the rest of the suite, can take most of it.
constexpr int kFirstLabelsMs = 90000;

// The value labels of the monitor: constant, caption, what the value looks like.
struct ValueLabel {
    const char* constant;
    const char* caption;
    const char* value;
};
const char* const kCount = R"(\d+)";
const char* const kMillis = R"((\d+ ms|–))";
const ValueLabel kValueLabels[] = {
    {"LINK_REQUESTS", "Requests", kCount},
    {"LINK_REPLIES_OK", "Replies accepted", kCount},
    {"LINK_TIMEOUTS", "Time-outs", kCount},
    {"LINK_CRC_ERRORS", "CRC or length rejects", kCount},
    {"LINK_EXCEPTIONS", "Exception replies", kCount},
    {"LINK_OTHER_REJECTS", "Other rejects", kCount},
    {"LINK_PASSWORD_WRITES", "Password writes", kCount},
    {"LINK_PORT_ERRORS", "Port errors", kCount},
    {"LINK_RESPONSE_LAST_MS", "Response time, last", kMillis},
    {"LINK_RESPONSE_MIN_MS", "Response time, min", kMillis},
    {"LINK_RESPONSE_MEAN_MS", "Response time, mean", kMillis},
    {"LINK_RESPONSE_MAX_MS", "Response time, max", kMillis},
    {"LINK_BYTES_SENT", "Bytes sent", kCount},
    {"LINK_BYTES_RECEIVED", "Bytes received", kCount},
    {"LINK_LAST_GOOD_REPLY", "Last good reply", R"((\d\d:\d\d:\d\d\.\d\d\d|–))"},
    {"RECORD_STATUS", "Recording status", ".+"},
    {"CAPTURE_STATUS", "Capture status", ".+"},
};

// The first of `paths` that exists, or "".
QString firstExisting(const QStringList& paths)
{
    for (const QString& p : paths) {
        if (QFileInfo(p).isExecutable()) return p;
    }
    return {};
}

// The processes this one is parent of (orphans of its helpers included).
std::vector<pid_t> children()
{
    std::vector<pid_t> out;
    const pid_t self = getpid();
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        if (!number) continue;
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly)) continue;
        // "pid (name) state ppid ...": the name may hold blanks, never ") ".
        const QByteArray line = stat.readAll();
        const QList<QByteArray> after = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (after.size() > 1 && after[1].toInt() == self) out.push_back(pid);
    }
    return out;
}

// The helpers of one test: a session bus, the accessibility bus, a display
// and the console.
class AtSpiSession {
public:
    AtSpiSession()
    {
        // Orphans of the helpers (the accessibility registry, which its bus
        // starts) become this process's children, so the test can end them.
        prctl(PR_SET_CHILD_SUBREAPER, 1);
        env_ = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
                                 "AT_SPI_BUS_ADDRESS", "QT_QPA_PLATFORM"}) {
            env_.remove(name);
        }
        const QString runtime = dir_.path() + "/run";
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env_.insert("XDG_RUNTIME_DIR", runtime);  // the accessibility bus's socket goes here
        env_.insert("GSETTINGS_BACKEND", "memory");
    }

    ~AtSpiSession()
    {
        a11y_.reset();
        session_.reset();
        QDBusConnection::disconnectFromBus("atspi-a11y");
        QDBusConnection::disconnectFromBus("atspi-session");
        // The console first, the display and the buses after it.
        for (auto it = processes_.rbegin(); it != processes_.rend(); ++it) end(**it);
        reapOrphans();
    }

    // Starts everything; false (with `why`) when a part does not come up.
    bool start(QString* why)
    {
        const QString launcher =
            firstExisting({"/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher"});
        if (launcher.isEmpty()) {
            *why = "no at-spi-bus-launcher (tools/install-deps.sh installs at-spi2-core)";
            return false;
        }
        // A session bus that starts nothing on demand.
        const QString config = dir_.path() + "/session.conf";
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)) {
            *why = "cannot write " + config;
            return false;
        }
        file.write(QString(R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
                       .arg(dir_.path())
                       .toUtf8());
        file.close();
        QProcess& bus = run("dbus-daemon", {"--config-file=" + config, "--nofork", "--print-address=1"});
        const QString address = firstLine(bus);
        if (address.isEmpty()) {
            *why = "the session bus did not start: " + bus.readAllStandardError();
            return false;
        }
        env_.insert("DBUS_SESSION_BUS_ADDRESS", address);
        session_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, "atspi-session"));

        run(launcher, {"--launch-immediately"});
        QProcess& display =
            run("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1366x768x24"});
        const QString number = firstLine(display);
        if (number.isEmpty()) {
            *why = "the virtual display did not start: " + display.readAllStandardError();
            return false;
        }
        env_.insert("DISPLAY", ":" + number);

        const QString a11y = accessibilityBusAddress();
        if (a11y.isEmpty()) {
            *why = "the accessibility bus did not start";
            return false;
        }
        a11y_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(a11y, "atspi-a11y"));
        if (!a11y_->isConnected()) {
            *why = "cannot connect to the accessibility bus " + a11y;
            return false;
        }

        QProcessEnvironment console = env_;
        console.insert("QT_QPA_PLATFORM", "xcb");
        console.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        console.insert("XDG_STATE_HOME", dir_.path() + "/state");
        console.insert("XDG_CONFIG_HOME", dir_.path() + "/config");
        QProcess& program = run(DSC_CONSOLE_BINARY, {"--simulate", "--monitor"}, console);
        if (!program.waitForStarted(kStartMs)) {
            *why = "the console did not start: " + program.errorString();
            return false;
        }
        return true;
    }

    // The monitor's labels with a description (the constant), by it: their
    // accessible names; empty while the window is not on the bus.
    std::map<QString, QString> monitorLabels()
    {
        std::map<QString, QString> labels;
        const Ref root{"org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"};
        for (const Ref& app : childrenOf(root)) {
            for (const Ref& window : childrenOf(app)) {
                if (property(window, "Description") == "PANEL_MONITOR") collect(window, &labels);
            }
        }
        return labels;
    }

private:
    struct Ref {
        QString service;
        QString path;
    };

    QProcess& run(const QString& program, const QStringList& args) { return run(program, args, env_); }
    QProcess& run(const QString& program, const QStringList& args, const QProcessEnvironment& env)
    {
        processes_.push_back(std::make_unique<QProcess>());
        QProcess& p = *processes_.back();
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir_.path());
        p.start(program, args);
        return p;
    }

    // The first line the process writes, waiting at most kStartMs.
    static QString firstLine(QProcess& p)
    {
        const QDeadlineTimer deadline(kStartMs);
        QByteArray out;
        while (!out.contains('\n') && !deadline.hasExpired() && p.state() != QProcess::NotRunning) {
            p.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
            out += p.readAllStandardOutput();
        }
        return out.contains('\n') ? QString::fromUtf8(out.left(out.indexOf('\n'))).trimmed() : QString();
    }

    QString accessibilityBusAddress()
    {
        const QDeadlineTimer deadline(kStartMs);
        while (!deadline.hasExpired()) {
            QDBusMessage call =
                QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress");
            const QDBusMessage reply = session_->call(call, QDBus::Block, kCallMs);
            if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
                return reply.arguments().constFirst().toString();
            QThread::msleep(50);  // the launcher has not taken its name yet
        }
        return {};
    }

    QDBusMessage call(const Ref& ref, const char* interface, const char* method,
                      const QVariantList& args = {})
    {
        QDBusMessage m = QDBusMessage::createMethodCall(ref.service, ref.path, interface, method);
        m.setArguments(args);
        return a11y_->call(m, QDBus::Block, kCallMs);
    }

    QString property(const Ref& ref, const char* name)
    {
        const QDBusMessage reply = call(ref, "org.freedesktop.DBus.Properties", "Get",
                                        {QString("org.a11y.atspi.Accessible"), QString(name)});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
        return reply.arguments().constFirst().value<QDBusVariant>().variant().toString();
    }

    std::vector<Ref> childrenOf(const Ref& ref)
    {
        std::vector<Ref> out;
        const QDBusMessage reply = call(ref, "org.a11y.atspi.Accessible", "GetChildren");
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return out;
        const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            Ref child;
            QDBusObjectPath path;
            list.beginStructure();
            list >> child.service >> path;
            list.endStructure();
            child.path = path.path();
            out.push_back(child);
        }
        list.endArray();
        return out;
    }

    // Walks the window's tree; the traffic list's thousands of rows, the
    // list of values to plot and the plot itself hold no value label.
    void collect(const Ref& ref, std::map<QString, QString>* labels)
    {
        const QString description = property(ref, "Description");
        if (description == "TRAFFIC" || description == "PLOT_VALUES" || description == "PLOT") return;
        if (!description.isEmpty() &&
            call(ref, "org.a11y.atspi.Accessible", "GetRoleName").arguments().value(0).toString() ==
                "label") {
            (*labels)[description] = property(ref, "Name");
        }
        for (const Ref& child : childrenOf(ref)) collect(child, labels);
    }

    static void end(QProcess& p)
    {
        if (p.state() == QProcess::NotRunning) return;
        p.terminate();
        if (!p.waitForFinished(kEndMs)) {
            p.kill();
            p.waitForFinished(kEndMs);
        }
    }

    // Whatever the helpers left behind: reaped when it ends, ended when it
    // does not within kEndMs.
    static void reapOrphans()
    {
        const QDeadlineTimer deadline(kEndMs);
        for (bool asked = false;;) {
            while (waitpid(-1, nullptr, WNOHANG) > 0) {
            }
            const std::vector<pid_t> left = children();
            if (left.empty()) return;
            if (deadline.hasExpired()) {
                for (const pid_t pid : left) ::kill(pid, SIGKILL);
                for (const pid_t pid : left) waitpid(pid, nullptr, 0);
                return;
            }
            if (!asked && deadline.remainingTime() < kEndMs / 2) {
                for (const pid_t pid : left) ::kill(pid, SIGTERM);
                asked = true;
            }
            QThread::msleep(20);
        }
    }

    QTemporaryDir dir_{QDir::tempPath() + "/dsc-atspi-XXXXXX"};
    QProcessEnvironment env_;
    std::vector<std::unique_ptr<QProcess>> processes_;
    std::unique_ptr<QDBusConnection> session_;
    std::unique_ptr<QDBusConnection> a11y_;
};

// The number at the end of an accessible name, or -1.
long long numberIn(const QString& name)
{
    const QRegularExpressionMatch m = QRegularExpression(R"(: (\d+)$)").match(name);
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

// Reads the labels until `done` holds of them or `ms` pass.
std::map<QString, QString> readUntil(AtSpiSession& session, int ms,
                                     const std::function<bool(const std::map<QString, QString>&)>& done)
{
    const QDeadlineTimer deadline(ms);
    std::map<QString, QString> labels = session.monitorLabels();
    while (!done(labels) && !deadline.hasExpired()) {
        QThread::msleep(200);
        labels = session.monitorLabels();
    }
    return labels;
}

}  // namespace

TEST(MonitorOverAtSpi, EveryValueLabelGivesItsValueAndKeepsItCurrent)
{
    QCoreApplication app(g_argc, g_argv);
    AtSpiSession session;
    QString why;
    ASSERT_TRUE(session.start(&why)) << why.toStdString();

    // The simulated controller answers: replies are counted.
    std::map<QString, QString> labels = readUntil(session, kFirstLabelsMs, [](const auto& l) {
        const auto replies = l.find("LINK_REPLIES_OK");
        return l.size() >= std::size(kValueLabels) && replies != l.end() && numberIn(replies->second) > 0;
    });
    for (const ValueLabel& v : kValueLabels) {
        SCOPED_TRACE(v.constant);
        const auto found = labels.find(v.constant);
        ASSERT_NE(found, labels.end()) << "not on the accessibility bus";
        const QRegularExpression shape(
            QString("^%1: %2$").arg(QRegularExpression::escape(v.caption), v.value));
        EXPECT_TRUE(shape.match(found->second).hasMatch()) << found->second.toStdString();
    }
    EXPECT_GT(numberIn(labels["LINK_REQUESTS"]), 0) << labels["LINK_REQUESTS"].toStdString();

    // A screen reader asking again hears the new count, not the first one.
    const long long before = numberIn(labels["LINK_REQUESTS"]);
    labels = readUntil(session, kUpdateMs, [before](const auto& l) {
        const auto requests = l.find("LINK_REQUESTS");
        return requests != l.end() && numberIn(requests->second) > before;
    });
    EXPECT_GT(numberIn(labels["LINK_REQUESTS"]), before) << labels["LINK_REQUESTS"].toStdString();
}
