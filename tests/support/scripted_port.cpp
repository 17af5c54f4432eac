#include "tests/support/scripted_port.h"

#include "model/app_state.h"
#include "model/data_item.h"
#include "model/line_flags.h"
#include "platform/port/serial.h"
#include "serial/line_machine.h"
#include "tests/support/vectors.h"

namespace testsupport {

void ScriptedPortTest::SetUp()
{
    TheLine().reset();
    SetSerialDriver(&driver);
    fillDataItems();
    panelMain = 1;
    ASSERT_EQ(OpenComConfig(kPort, "", 19200, 1, 8, 1, 1024, 1024), 0);
    active_comselect = kPort;
    comConfigure_success_flag = 1;
}

void ScriptedPortTest::TearDown()
{
    CloseCom(kPort);
    SetSerialDriver(nullptr);
    comConfigure_success_flag = 0;
    TheLine().reset();
}

std::vector<unsigned char> ReadReply(int count, int base)
{
    std::vector<unsigned char> f = {0x01, 0x03, static_cast<unsigned char>(2 * count)};
    for (int i = 0; i < count; ++i) {
        f.push_back(static_cast<unsigned char>((base + i) >> 8));
        f.push_back(static_cast<unsigned char>((base + i) & 0xFF));
    }
    return WithCrc(f);
}

}  // namespace testsupport
