// The requests the console sends, for the fuzz targets that pick one: the
// seven poll reads, the password write and a parameter write. One more
// choice than the table holds stands for any six bytes.
#pragma once

#include "model/data_item.h"

namespace fuzzreq {

struct Request {
    int function;
    int address;
    int field;  // quantity for a read, value for a write
};

inline constexpr Request kRequests[] = {
    {3, 2548, DATAITEM1_COUNT},
    {3, 2568, DATAITEM2_COUNT},
    {3, 2588, DATAITEM3_COUNT},
    {3, 2608, DATAITEM4_COUNT},
    {3, 2628, DATAITEM5_COUNT},
    {3, 2648, DATAITEM6_COUNT},
    {3, 2748, DATAITEMOR_COUNT},
    {6, PASSWORD_REGISTER, PASSWORD_VALUE},
    {6, 2550, 58},
};
inline constexpr int kChoices = static_cast<int>(sizeof kRequests / sizeof kRequests[0]) + 1;

}  // namespace fuzzreq
