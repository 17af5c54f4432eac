#include "tests/support/capture_items.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace testsupport {

namespace {

CaptureItems readAll(CaptureReader& reader, bool opened)
{
    CaptureItems items;
    if (!opened) {
        items.error = reader.error();
        return items;
    }
    items.application = reader.application();
    for (;;) {
        switch (reader.next()) {
            case CaptureReader::Item::Interface:
                items.interfaces.push_back(reader.interface());
                items.order += 'I';
                break;
            case CaptureReader::Item::Packet:
                items.packets.push_back(reader.packet());
                items.order += 'P';
                break;
            case CaptureReader::Item::InterfaceEnd:
                items.ends.push_back(reader.interfaceEnd());
                items.order += 'E';
                break;
            case CaptureReader::Item::End:
                return items;
            case CaptureReader::Item::Error:
                items.error = reader.error();
                return items;
        }
    }
}

}  // namespace

CaptureItems ReadCaptureItems(const std::vector<unsigned char>& bytes, const std::string& name)
{
    CaptureReader reader;
    const bool opened = reader.openBytes(bytes, name, nullptr);
    return readAll(reader, opened);
}

CaptureItems ReadCaptureFile(const std::string& path)
{
    CaptureReader reader;
    const bool opened = reader.open(path, nullptr);
    return readAll(reader, opened);
}

std::string TestFilePath(const std::string& name)
{
    const char* state = std::getenv("XDG_STATE_HOME");
    std::error_code ec;
    const std::filesystem::path dir =
        state != nullptr ? std::filesystem::path(state) / "files" : std::filesystem::temp_directory_path(ec);
    std::filesystem::create_directories(dir, ec);
    return (dir / name).string();
}

}  // namespace testsupport
