#include "tests/support/zip_reading.h"

#include <QByteArray>
#include <QProcess>
#include <QStringList>

namespace testsupport {

std::optional<std::map<std::string, std::string>> ReadZip(const std::string& path, std::string* error)
{
    // Each member as its name, a tab, its bytes in hex, a line end; testzip()
    // names the first member whose CRC is wrong.
    static const char* const kScript =
        "import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "bad = z.testzip()\n"
        "if bad is not None:\n"
        "    sys.exit('bad CRC: ' + bad)\n"
        "for i in z.infolist():\n"
        "    print(i.filename + '\\t' + z.read(i).hex())\n";
    QProcess python;
    python.start("python3", {"-c", kScript, QString::fromStdString(path)});
    if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit ||
        python.exitCode() != 0) {
        *error = "python3 refused " + path + ": " + python.readAllStandardError().toStdString();
        return std::nullopt;
    }
    std::map<std::string, std::string> members;
    for (const QByteArray& line : python.readAllStandardOutput().split('\n')) {
        const qsizetype tab = line.lastIndexOf('\t');
        if (tab < 0) continue;
        members[line.left(tab).toStdString()] = QByteArray::fromHex(line.mid(tab + 1)).toStdString();
    }
    return members;
}

}  // namespace testsupport
