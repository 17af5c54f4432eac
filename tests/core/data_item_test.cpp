#include <gtest/gtest.h>

#include "model/data_item.h"

TEST(DataItem, placeholder) { fillDataItems(); EXPECT_EQ(getIndex(dataItem1, 15, 2548), 0); }
