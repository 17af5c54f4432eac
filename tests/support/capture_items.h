// A capture read back whole, for tests of what the console writes: the
// interfaces, packets and interface ends in the order the file has them.
#pragma once

#include <string>
#include <vector>

#include "modbus/capture_file.h"

namespace testsupport {

struct CaptureItems {
    std::string application;  // of the first section
    std::vector<CaptureInterface> interfaces;
    std::vector<CapturePacket> packets;
    std::vector<CaptureInterfaceEnd> ends;
    std::string order;  // one letter an item: I interface, P packet, E end
    std::string error;  // the reader's refusal; empty when it read to the end
};

CaptureItems ReadCaptureItems(const std::vector<unsigned char>& bytes, const std::string& name = "capture");
CaptureItems ReadCaptureFile(const std::string& path);

// A file name in the test's own folder (removed when the program ends).
std::string TestFilePath(const std::string& name);

#ifndef _WIN32
// tshark decodes every frame of the capture at `path` as Modbus RTU, with no
// malformed one, the CRC as the console judged it, and the direction and
// comment of `packets` (the file as the console reads it). Told, not
// failed, when tshark is not installed.
void ExpectTsharkDecodes(const std::string& path, const std::vector<CapturePacket>& packets);
#endif

}  // namespace testsupport
