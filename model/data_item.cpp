#include "model/data_item.h"

DataItem dataItem1[DATAITEM1_COUNT];
DataItem dataItem2[DATAITEM2_COUNT];
DataItem dataItem3[DATAITEM3_COUNT];
DataItem dataItem4[DATAITEM4_COUNT];
DataItem dataItem5[DATAITEM5_COUNT];
DataItem dataItem6[DATAITEM6_COUNT];
DataItem dataItemOR[DATAITEMOR_COUNT];
DataItem communication_password_hci;

const ItemTable kPageTables[6] = {
    {dataItem1, DATAITEM1_COUNT, 2548}, {dataItem2, DATAITEM2_COUNT, 2568},
    {dataItem3, DATAITEM3_COUNT, 2588}, {dataItem4, DATAITEM4_COUNT, 2608},
    {dataItem5, DATAITEM5_COUNT, 2628}, {dataItem6, DATAITEM6_COUNT, 2648},
};
const ItemTable kStatusTable = {dataItemOR, DATAITEMOR_COUNT, 2748};

int getIndex(const DataItem* table, unsigned count, int address)
{
    for (unsigned i = 0; i < count; ++i) {
        if (table[i].address.load() == address) return static_cast<int>(i);
    }
    return -1;
}

namespace {

struct ScaleOverride {
    DataItem* table;
    int index;
    int num;
    int den;
};

// Entries whose display is scaled; every other entry keeps 1/1.
const ScaleOverride kScales[] = {
    {dataItem3, 15, 1, 10},      {dataItem4, 0, 5, 32767},    {dataItem4, 1, 5, 32767},
    {dataItem4, 4, 5, 32767},    {dataItem4, 5, 5, 32767},    {dataItem6, 4, 600, 32767},
    {dataItem6, 8, 600, 32767},  {dataItem6, 11, 600, 32767}, {dataItem6, 12, 600, 32767},
    {dataItem6, 9, 1000, 32767}, {dataItem6, 13, 360, 32767}, {dataItemOR, 1, 600, 32767},
    {dataItemOR, 2, 600, 32767}, {dataItemOR, 3, 600, 32767}, {dataItemOR, 4, 600, 32767},
    {dataItemOR, 5, 600, 32767}, {dataItemOR, 8, 5, 32767},   {dataItemOR, 11, 5, 32767},
};

void fillTable(const ItemTable& t)
{
    for (int i = 0; i < t.count; ++i) {
        DataItem& d = t.items[i];
        d.address = t.first_register + i;
        d.value = (t.items == dataItem3) ? static_cast<double>(i % 2) : static_cast<double>(i);
        d.send_flag = 0;
        d.query_flag = 1;
        d.refresh_flag = 1;
        d.scale_num = 1;
        d.scale_den = 1;
    }
}

}  // namespace

ScalePair DisplayScale(const DataItem* table, int index)
{
    for (const ScaleOverride& s : kScales) {
        if (s.table == table && s.index == index) return {s.num, s.den};
    }
    return {1, 1};
}

void fillDataItems()
{
    for (const ItemTable& t : kPageTables) fillTable(t);
    fillTable(kStatusTable);
    for (const ScaleOverride& s : kScales) {
        s.table[s.index].scale_num = s.num;
        s.table[s.index].scale_den = s.den;
    }
    DataItem& pw = communication_password_hci;
    pw.address = PASSWORD_REGISTER;
    pw.value = PASSWORD_VALUE;
    pw.send_flag = 0;
    pw.query_flag = 0;
    pw.refresh_flag = 0;
    pw.scale_num = 0;
    pw.scale_den = 0;
}

double scaledValue(const DataItem& item)
{
    return item.value.load() * item.scale_num.load() / item.scale_den.load();
}

double unscaledEntry(const DataItem& item, double v)
{
    return v * item.scale_den.load() / item.scale_num.load();
}
