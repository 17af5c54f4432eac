// Any bytes as a capture file, as a damaged or foreign file may hold them.
//
// Checks: the reader ends, at the end or with a refusal naming the file and
// a byte offset within it; the packets it hands out fit in the input, belong
// to an interface it described and carry the direction flags allows. What it
// read whole, written again by the console's writer, reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "modbus/capture_file.h"

namespace {

void require(bool holds, const char* what, const std::string& detail = "")
{
    if (holds) return;
    std::fprintf(stderr, "capture_fuzz: %s %s\n", what, detail.c_str());
    std::abort();
}

struct Item {
    CaptureReader::Item kind;
    CaptureInterface interface;
    CapturePacket packet;
    CaptureInterfaceEnd end;
};

// Everything the reader hands out; false when it refused the bytes.
bool readAll(const std::vector<unsigned char>& bytes, std::vector<Item>* items)
{
    CaptureReader reader;
    if (!reader.openBytes(bytes, "fuzz", nullptr)) {
        require(reader.error().rfind("fuzz: byte ", 0) == 0, "refusal without its place:", reader.error());
        return false;
    }
    std::uint32_t interfaces = 0;
    // Each item takes at least one block of 12 bytes (or a pcap record of 16).
    for (std::size_t n = 0; n <= bytes.size() / 12 + 2; ++n) {
        Item item{reader.next(), {}, {}, {}};
        switch (item.kind) {
            case CaptureReader::Item::Interface:
                item.interface = reader.interface();
                ++interfaces;
                break;
            case CaptureReader::Item::Packet:
                item.packet = reader.packet();
                require(item.packet.bytes.size() <= bytes.size(), "a packet longer than its file");
                require(item.packet.interfaceId < interfaces, "a packet of an interface not described");
                break;
            case CaptureReader::Item::InterfaceEnd:
                item.end = reader.interfaceEnd();
                require(item.end.interfaceId < interfaces, "an end of an interface not described");
                break;
            case CaptureReader::Item::End:
                return true;
            case CaptureReader::Item::Error: {
                const std::string& e = reader.error();
                require(e.rfind("fuzz: byte ", 0) == 0, "refusal without its place:", e);
                const unsigned long long at = std::strtoull(e.c_str() + 11, nullptr, 10);
                require(at <= bytes.size(), "a place beyond the file:", e);
                return false;
            }
        }
        items->push_back(item);
    }
    require(false, "more items than the file can hold");
    return false;
}

bool same(const Item& a, const Item& b)
{
    if (a.kind != b.kind) return false;
    switch (a.kind) {
        case CaptureReader::Item::Interface:
            return a.interface.name == b.interface.name &&
                   a.interface.description == b.interface.description &&
                   a.interface.speed == b.interface.speed;
        case CaptureReader::Item::Packet:
            return a.packet.interfaceId == b.packet.interfaceId && a.packet.timeUs == b.packet.timeUs &&
                   a.packet.direction == b.packet.direction && a.packet.bytes == b.packet.bytes &&
                   a.packet.comment == b.packet.comment;
        case CaptureReader::Item::InterfaceEnd:
            return a.end.interfaceId == b.end.interfaceId && a.end.timeUs == b.end.timeUs &&
                   a.end.comment == b.end.comment;
        default:
            return true;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<unsigned char> bytes(data, data + size);
    std::vector<Item> items;
    if (!readAll(bytes, &items)) return 0;

    // Written again: one section, microseconds. Times before 1970 and texts
    // longer than an option are what the writer cannot carry.
    CaptureEncoder out;
    out.section("capture_fuzz");
    for (const Item& i : items) {
        switch (i.kind) {
            case CaptureReader::Item::Interface:
                if (i.interface.name.size() > 0xFFFF || i.interface.description.size() > 0xFFFF) return 0;
                out.interface(i.interface);
                break;
            case CaptureReader::Item::Packet:
                if (i.packet.timeUs < 0 || i.packet.comment.size() > 0xFFFF) return 0;
                out.packet(i.packet.interfaceId, i.packet.timeUs, i.packet.direction, i.packet.bytes.data(),
                           i.packet.bytes.size(), i.packet.comment);
                break;
            case CaptureReader::Item::InterfaceEnd:
                if (i.end.timeUs < 0 || i.end.comment.size() > 0xFFFF) return 0;
                out.interfaceEnd(i.end.interfaceId, i.end.timeUs, i.end.comment);
                break;
            default:
                break;
        }
    }
    std::vector<Item> again;
    require(readAll(out.bytes(), &again), "what the writer wrote is refused");
    require(again.size() == items.size(), "written again, a different number of items");
    for (std::size_t k = 0; k < items.size(); ++k)
        require(same(items[k], again[k]), "written again, item differs");
    return 0;
}
