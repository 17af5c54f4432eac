#include "platform/os/zip_file.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <limits>

namespace {

constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::uint32_t kCentralHeader = 0x02014b50;
constexpr std::uint32_t kEndOfCentral = 0x06054b50;
constexpr std::uint16_t kVersion = 20;        // 2.0: deflate and folders
constexpr std::uint16_t kUtf8Names = 0x0800;  // general purpose flag bit 11
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint64_t kLimit = std::numeric_limits<std::uint32_t>::max();

std::array<std::uint32_t, 256> crcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

void put16(QByteArray& out, std::uint32_t v)
{
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>((v >> 8) & 0xFF));
}

void put32(QByteArray& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// The raw deflate stream of `data`, taken out of what qCompress makes (the
// length, big-endian in four bytes, then a zlib stream: two bytes of header,
// the deflate data, four of Adler-32). Empty when that is not what came.
QByteArray deflated(const QByteArray& data)
{
    const QByteArray z = qCompress(data, 9);
    if (z.size() < 4 + 2 + 4) return {};
    const auto cmf = static_cast<unsigned char>(z[4]);
    const auto flg = static_cast<unsigned char>(z[5]);
    const bool plainDeflate = (cmf & 0x0F) == 8 && (flg & 0x20) == 0 && ((cmf << 8) | flg) % 31 == 0;
    if (!plainDeflate) return {};
    return z.mid(6, z.size() - 6 - 4);
}

}  // namespace

std::uint32_t Crc32(const void* bytes, std::size_t length, std::uint32_t crc)
{
    static const std::array<std::uint32_t, 256> kTable = crcTable();
    const auto* p = static_cast<const unsigned char*>(bytes);
    crc = ~crc;
    for (std::size_t i = 0; i < length; ++i) crc = kTable[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

ZipWriter::ZipWriter(std::int64_t wallMs)
{
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(wallMs).toLocalTime();
    const QDate d = t.date();
    const QTime h = t.time();
    // Zip's dates start in 1980.
    const int year = std::max(1980, std::min(2107, d.year()));
    dosDate_ = static_cast<std::uint16_t>(((year - 1980) << 9) | (d.month() << 5) | d.day());
    dosTime_ = static_cast<std::uint16_t>((h.hour() << 11) | (h.minute() << 5) | (h.second() / 2));
}

void ZipWriter::add(const std::string& name, QByteArray bytes)
{
    Member m;
    m.name = name;
    m.size = static_cast<std::uint64_t>(bytes.size());
    m.crc = Crc32(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    QByteArray packed = bytes.isEmpty() ? QByteArray() : deflated(bytes);
    m.deflated = !packed.isEmpty() && packed.size() < bytes.size();
    m.data = m.deflated ? std::move(packed) : std::move(bytes);
    for (Member& old : members_) {
        if (old.name == name) {
            old = std::move(m);
            return;
        }
    }
    members_.push_back(std::move(m));
}

QByteArray ZipWriter::bytes(std::string* error) const
{
    std::uint64_t total = 22;
    for (const Member& m : members_) {
        if (m.size > kLimit) {
            *error = m.name + " is too big for a zip file";
            return {};
        }
        total += 30 + 46 + 2 * m.name.size() + static_cast<std::uint64_t>(m.data.size());
    }
    if (members_.size() > 0xFFFF || total > kLimit) {
        *error = "the archive would be too big for a zip file";
        return {};
    }
    QByteArray out;
    out.reserve(static_cast<qsizetype>(total));
    QByteArray central;
    for (const Member& m : members_) {
        const auto offset = static_cast<std::uint32_t>(out.size());
        const auto name = static_cast<std::uint32_t>(m.name.size());
        const auto stored = static_cast<std::uint32_t>(m.data.size());
        const auto size = static_cast<std::uint32_t>(m.size);
        const std::uint16_t method = m.deflated ? kDeflated : kStored;
        put32(out, kLocalHeader);
        for (std::uint32_t v : {std::uint32_t{kVersion}, std::uint32_t{kUtf8Names}, std::uint32_t{method},
                                std::uint32_t{dosTime_}, std::uint32_t{dosDate_}})
            put16(out, v);
        put32(out, m.crc);
        put32(out, stored);
        put32(out, size);
        put16(out, name);
        put16(out, 0);  // no extra field
        out.append(m.name.data(), static_cast<qsizetype>(name));
        out.append(m.data);

        put32(central, kCentralHeader);
        for (std::uint32_t v : {std::uint32_t{kVersion}, std::uint32_t{kVersion}, std::uint32_t{kUtf8Names},
                                std::uint32_t{method}, std::uint32_t{dosTime_}, std::uint32_t{dosDate_}})
            put16(central, v);
        put32(central, m.crc);
        put32(central, stored);
        put32(central, size);
        put16(central, name);
        for (int i = 0; i < 4; ++i) put16(central, 0);  // extra, comment, disk, internal attributes
        put32(central, 0);                              // external attributes
        put32(central, offset);
        central.append(m.name.data(), static_cast<qsizetype>(name));
    }
    const auto centralAt = static_cast<std::uint32_t>(out.size());
    out.append(central);
    put32(out, kEndOfCentral);
    put16(out, 0);  // this disk
    put16(out, 0);  // the disk of the central directory
    put16(out, static_cast<std::uint32_t>(members_.size()));
    put16(out, static_cast<std::uint32_t>(members_.size()));
    put32(out, static_cast<std::uint32_t>(central.size()));
    put32(out, centralAt);
    put16(out, 0);  // no comment
    return out;
}

bool ZipWriter::save(const std::string& path, std::string* error) const
{
    const QByteArray archive = bytes(error);
    if (archive.isEmpty()) {
        *error = path + ": " + *error;
        return false;
    }
    const QString name = QString::fromStdString(path);
    const QFileInfo info(name);
    if (!info.absoluteDir().exists()) {
        *error = path + ": the folder " + info.absolutePath().toStdString() + " does not exist";
        return false;
    }
    QSaveFile f(name);
    if (!f.open(QIODevice::WriteOnly)) {
        *error = path + ": cannot write (" + f.errorString().toStdString() + ")";
        return false;
    }
    if (f.write(archive) != archive.size() || !f.commit()) {
        *error = path + ": cannot write (" + f.errorString().toStdString() + ")";
        return false;
    }
    return true;
}
