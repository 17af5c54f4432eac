// The start-up fill of the data-item tables, the scale pairs and getIndex.
#include "model/data_item.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct TableCase {
    const char* name;
    DataItem* items;
    int count;
    int firstRegister;
};

const TableCase kTables[] = {
    {"dataItem1", dataItem1, 15, 2548},   {"dataItem2", dataItem2, 7, 2568},
    {"dataItem3", dataItem3, 16, 2588},   {"dataItem4", dataItem4, 6, 2608},
    {"dataItem5", dataItem5, 11, 2628},   {"dataItem6", dataItem6, 15, 2648},
    {"dataItemOR", dataItemOR, 26, 2748},
};

// Registers whose display is scaled, with their pair; every other entry is 1/1.
struct Scale {
    int reg, num, den;
};
const Scale kScaled[] = {
    {2603, 1, 10},      {2608, 5, 32767},   {2609, 5, 32767},   {2612, 5, 32767},   {2613, 5, 32767},
    {2652, 600, 32767}, {2656, 600, 32767}, {2659, 600, 32767}, {2660, 600, 32767}, {2657, 1000, 32767},
    {2661, 360, 32767}, {2749, 600, 32767}, {2750, 600, 32767}, {2751, 600, 32767}, {2752, 600, 32767},
    {2753, 600, 32767}, {2756, 5, 32767},   {2759, 5, 32767},
};

}  // namespace

TEST(DataItems, StartUpFillGivesEveryEntryItsDefaults)
{
    fillDataItems();
    std::set<int> seen;
    for (const TableCase& t : kTables) {
        for (int i = 0; i < t.count; ++i) {
            const DataItem& d = t.items[i];
            SCOPED_TRACE(std::string(t.name) + "[" + std::to_string(i) + "]");
            EXPECT_EQ(d.address.load(), t.firstRegister + i);
            EXPECT_TRUE(seen.insert(d.address.load()).second) << "register in two tables";
            EXPECT_EQ(d.value.load(), t.items == dataItem3 ? i % 2 : i);
            EXPECT_EQ(d.send_flag.load(), 0);
            EXPECT_EQ(d.query_flag.load(), 1);
            EXPECT_EQ(d.refresh_flag.load(), 1);
            int num = 1, den = 1;
            for (const Scale& s : kScaled) {
                if (s.reg == d.address.load()) {
                    num = s.num;
                    den = s.den;
                }
            }
            EXPECT_EQ(d.scale_num.load(), num);
            EXPECT_EQ(d.scale_den.load(), den);
        }
    }
    EXPECT_EQ(communication_password_hci.address.load(), 4039);
    EXPECT_EQ(communication_password_hci.value.load(), 22823.0);
}

TEST(DataItems, TableDescriptorsMatchTheTables)
{
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(kPageTables[k].items, kTables[k].items);
        EXPECT_EQ(kPageTables[k].count, kTables[k].count);
        EXPECT_EQ(kPageTables[k].first_register, kTables[k].firstRegister);
    }
    EXPECT_EQ(kStatusTable.items, dataItemOR);
    EXPECT_EQ(kStatusTable.count, 26);
    EXPECT_EQ(kStatusTable.first_register, 2748);
}

TEST(DataItems, GetIndexFindsTheFirstMatchingEntry)
{
    fillDataItems();
    struct Case {
        const DataItem* table;
        unsigned count;
        int address;
        int expected;
    };
    const Case cases[] = {
        {dataItem1, 15, 2548, 0},   {dataItem1, 15, 2562, 14}, {dataItem1, 15, 2563, -1},
        {dataItem1, 15, 2547, -1},  {dataItem1, 0, 2548, -1},  {dataItem1, 3, 2551, -1},
        {dataItemOR, 26, 2773, 25}, {dataItem6, 15, 2657, 9},  {dataItem3, 16, 4039, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(getIndex(c.table, c.count, c.address), c.expected) << c.address << " in " << c.count;
    }
}

TEST(DataItems, ScaledDisplayAndEntryAreInverse)
{
    fillDataItems();
    struct Case {
        DataItem* item;
        double raw;
        double shown;
    };
    const Case cases[] = {
        {&dataItemOR[1], 32767, 600.0},
        {&dataItemOR[1], -32768, -32768 * 600.0 / 32767},
        {&dataItem3[15], 123, 12.3},
        {&dataItem4[0], 32767, 5.0},
        {&dataItem6[13], 16384, 16384 * 360.0 / 32767},
        {&dataItem1[0], 58, 58.0},
    };
    for (const Case& c : cases) {
        c.item->value = c.raw;
        EXPECT_DOUBLE_EQ(scaledValue(*c.item), c.shown);
        EXPECT_NEAR(unscaledEntry(*c.item, c.shown), c.raw, 1e-9);
    }
    // An entry of 300 on a 600/32767 item stores the unrounded 16383.5.
    EXPECT_DOUBLE_EQ(unscaledEntry(dataItem6[4], 300), 16383.5);
}
