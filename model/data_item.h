// Local mirror of the controller's holding registers.
//
// Seven fixed tables of DataItem, one per block of consecutive registers read
// with a single request, plus the lone communication password item. Every
// field is atomic: the UI thread, the communication thread and the refresh
// thread all touch the tables without locks. A writer stores the value first
// and sets its flag last; a consumer clears the flag and then acts.
#pragma once

#include <atomic>
#include <cstddef>

struct DataItem {
    std::atomic<int> address{0};        // holding-register address, 0..65535
    std::atomic<double> value{0.0};     // raw register value (or operator entry before it is sent)
    std::atomic<int> send_flag{0};      // SEND_PENDING or SEND_URGENT = write pending
    std::atomic<int> query_flag{0};     // entry 0 only: 1 = read the whole table
    std::atomic<int> refresh_flag{0};   // 1 = display update pending
    std::atomic<int> scale_num{0};      // engineering value for scale_den raw counts
    std::atomic<int> scale_den{0};      // raw counts; never 0 in a table entry
    std::atomic<int> read_count{0};     // entry 0 only: whole-table read replies stored (wraps)
    std::atomic<int> read_sent{0};      // entry 0 only: whole-table reads sent (wraps)
    std::atomic<int> count_at_send{0};  // entry 0 only: read_count when the latest of them was sent
};

// send_flag values. An urgent write (the motor-test stop) goes out ahead of
// every pending one.
constexpr int SEND_PENDING = 1;
constexpr int SEND_URGENT = 2;

constexpr int DATAITEM1_COUNT = 15;
constexpr int DATAITEM2_COUNT = 7;
constexpr int DATAITEM3_COUNT = 16;
constexpr int DATAITEM4_COUNT = 6;
constexpr int DATAITEM5_COUNT = 11;
constexpr int DATAITEM6_COUNT = 15;
constexpr int DATAITEMOR_COUNT = 26;

extern DataItem dataItem1[DATAITEM1_COUNT];    // registers 2548..2562, page "BASIC"
extern DataItem dataItem2[DATAITEM2_COUNT];    // registers 2568..2574, page "TEMP"
extern DataItem dataItem3[DATAITEM3_COUNT];    // registers 2588..2603, page "FUNC"
extern DataItem dataItem4[DATAITEM4_COUNT];    // registers 2608..2613, page "THROTTLE"
extern DataItem dataItem5[DATAITEM5_COUNT];    // registers 2628..2638, page "MOTOR"
extern DataItem dataItem6[DATAITEM6_COUNT];    // registers 2648..2662, the sixth page and the debug panel
extern DataItem dataItemOR[DATAITEMOR_COUNT];  // registers 2748..2773, main panel status area
extern DataItem communication_password_hci;    // register 4039, value 22823

// Entries of the status table that the console acts on or shows first.
constexpr int STATUS_BATTERY_VOLTAGE = 1;    // register 2749
constexpr int STATUS_CONTROLLER_TEMP = 6;    // register 2754
constexpr int STATUS_MOTOR_TEMP = 7;         // register 2755
constexpr int STATUS_MOTOR_SPEED = 10;       // register 2758
constexpr int STATUS_FIRST_FAULT_WORD = 14;  // registers 2762..2764: the fault words
constexpr int STATUS_FAULT_WORDS = 3;

constexpr int PASSWORD_REGISTER = 4039;
constexpr int PASSWORD_VALUE = 22823;  // 0x5927

// One block of registers: a table, its entry count and its first register.
struct ItemTable {
    DataItem* items;
    int count;
    int first_register;
};

// The six page tables in read order (page 1 .. page 6).
extern const ItemTable kPageTables[6];
// The status table.
extern const ItemTable kStatusTable;

// Index of the first of entries 0..count-1 whose address equals `address`,
// or -1 when none does (also for count 0).
int getIndex(const DataItem* table, unsigned count, int address);

// The display scale of entry `index` of `table` that the start-up fill gives
// it: shown value = register value * num / den (1/1 for most entries).
struct ScalePair {
    int num;
    int den;
};
ScalePair DisplayScale(const DataItem* table, int index);

// The start-up fill: addresses, default values, flags and scale pairs of every
// table, and the password item. Called once before the worker threads start.
void fillDataItems();

// Display conversions shared by the refresh routines and the write callbacks.
double scaledValue(const DataItem& item);              // value * num / den
double unscaledEntry(const DataItem& item, double v);  // v * den / num
