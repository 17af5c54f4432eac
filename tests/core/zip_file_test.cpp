// The zip writer: what it writes is an archive another reader takes whole,
// and a file that cannot be written leaves nothing behind.
#include "platform/os/zip_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "tests/support/zip_reading.h"

namespace {

QByteArray noise(int n)
{
    std::mt19937 random(7);
    QByteArray bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ZipFile, Crc32MatchesTheCheckValue)
{
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926U);
    // Continued in two parts, the same.
    EXPECT_EQ(Crc32("6789", 4, Crc32("12345", 5)), 0xCBF43926U);
    EXPECT_EQ(Crc32("", 0), 0U);
}

TEST(ZipFile, AnotherReaderTakesEveryMemberBack)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("bundle.zip").toStdString();
    QByteArray text;
    for (int i = 0; i < 2000; ++i) text += "time,2550,Over volt,58 V\n";
    const std::map<std::string, QByteArray> members = {
        {"report.html", text},                 // deflated: it shrinks
        {"capture.pcapng", noise(70000)},      // stored: it would not
        {"panels/main panel.png", noise(10)},  // in a folder
        {"empty.csv", QByteArray()},
        {"r\xC3\xA9sum\xC3\xA9.json", "{}"},  // a UTF-8 name
    };
    ZipWriter zip(1765000000000);
    for (const auto& [name, bytes] : members) zip.add(name, bytes);
    zip.add("report.html", text);  // again: one member still
    std::string error;
    ASSERT_TRUE(zip.save(path, &error)) << error;

    const auto read = testsupport::ReadZip(path, &error);
    ASSERT_TRUE(read) << error;
    ASSERT_EQ(read->size(), members.size());
    for (const auto& [name, bytes] : members) {
        ASSERT_EQ(read->count(name), 1U) << name;
        EXPECT_EQ(read->at(name), bytes.toStdString()) << name;
    }
    EXPECT_LT(QFileInfo(dir.filePath("bundle.zip")).size(), text.size() + 70000 + 2000);
    // Nothing but the archive is left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"bundle.zip"});
}

TEST(ZipFile, AFolderThatCannotBeWrittenLeavesNothing)
{
    QTemporaryDir dir;
    ZipWriter zip(0);
    zip.add("a.txt", "a");
    std::string error;
    EXPECT_FALSE(zip.save(dir.filePath("missing/bundle.zip").toStdString(), &error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));

    // A file where the folder should be: refused too, and the file is untouched.
    QFile blocker(dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.write("kept");
    blocker.close();
    error.clear();
    EXPECT_FALSE(zip.save(dir.filePath("blocker/bundle.zip").toStdString(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readAll(dir.filePath("blocker")), QByteArray("kept"));
}

#ifndef _WIN32
TEST(ZipFile, AReadOnlyFolderIsReportedAndAnOldArchiveStays)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("bundle.zip");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old archive");
    old.close();
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    if (QFile(dir.filePath("probe")).open(QIODevice::WriteOnly)) GTEST_SKIP() << "running as root";
    ZipWriter zip(0);
    zip.add("a.txt", "a");
    std::string error;
    EXPECT_FALSE(zip.save(path.toStdString(), &error));
    EXPECT_FALSE(error.empty());
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readAll(path), QByteArray("old archive"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"bundle.zip"});
}
#endif

}  // namespace
