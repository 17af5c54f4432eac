// Zip archives, written whole: the members are collected in memory, then the
// archive goes to its file under a temporary name that becomes the file's
// name only once every byte is written, so that no half-written archive is
// ever left behind.
//
// Members are deflated when that makes them smaller (with the deflate of Qt
// Core, which every build of the console has) and stored otherwise. Names are
// UTF-8, with "/" between folders. Archives up to 4 GiB and 65,535 members
// (no zip64), which a report of ten minutes stays far below.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <string>
#include <vector>

// CRC-32 (IEEE 802.3, the zip and PNG polynomial) of `length` bytes,
// continued from `crc` (0 to start).
std::uint32_t Crc32(const void* bytes, std::size_t length, std::uint32_t crc = 0);

class ZipWriter {
public:
    // The members' time: `wallMs` (ms since 1970 UTC) in local time, to two
    // seconds, as zip keeps it.
    explicit ZipWriter(std::int64_t wallMs);

    // Adds a member; a name given again replaces the member before.
    void add(const std::string& name, QByteArray bytes);
    std::size_t count() const { return members_.size(); }

    // Writes the archive to `path`. False, with the reason, when the folder or
    // the file cannot be written or the archive would be too big; nothing is
    // left at `path` then (a file that was there stays as it was).
    bool save(const std::string& path, std::string* error) const;
    // The archive's bytes; empty (with *error) when too big.
    QByteArray bytes(std::string* error) const;

private:
    struct Member {
        std::string name;
        QByteArray data;  // as stored: deflated or not
        std::uint32_t crc = 0;
        std::uint64_t size = 0;  // uncompressed
        bool deflated = false;
    };
    std::vector<Member> members_;
    std::uint16_t dosTime_ = 0;
    std::uint16_t dosDate_ = 0;
};
