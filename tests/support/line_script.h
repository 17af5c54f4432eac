// Exchanges told to the line's observers (the line events among them) as the
// line machine tells them, without a port: for tests of what watches the
// line. (Frames get their CRC from WithCrc of tests/support/vectors.h.)
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace testsupport {

// One request and the reply the parser gave `result` for.
void ReportExchange(const std::vector<unsigned char>& request, const std::vector<unsigned char>& reply,
                    int result);
// A read of the whole status block answered with `words` (items 0..25).
void ReportStatusReply(const std::array<std::uint16_t, 26>& words);
// The same, all zero but the three fault words (registers 2762..2764).
void ReportFaultWords(std::uint16_t first, std::uint16_t second = 0, std::uint16_t third = 0);

}  // namespace testsupport
