#include "serial/rs232.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/ems.h"
#include "modbus/line_events.h"
#include "modbus/modbus.h"
#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "platform/clock.h"
#include "platform/serial.h"
#include "platform/ui.h"
#include "serial/port_gate.h"
#include "serial/port_watch.h"
#include "serial/sample5.h"

std::atomic<int> com_idle{1};
std::atomic<int> tx_package_flag{0};
std::atomic<int> sendLedON{0};
unsigned char receive_buffer[RECEIVE_BUFFER_SIZE];
int receive_leng = 0;
int receive_count = 0;
int receive_frame_end_delay = 0;
std::int64_t receive_frame_end_delay_begin = 0;
std::int64_t receive_frame_end_delay_end = 0;
int receive_frame_end_flag = 0;
int receive_frame_length = 0;
int com_idle_delay = 0;
std::int64_t com_idle_delay_begin = 0;
std::int64_t com_idle_delay_end = 0;
std::atomic<int> recieveLedON{0};
std::atomic<int> recieveLedShineDelay{0};

bool take_idle_line()
{
    return com_idle.exchange(0) == 1;
}

int blinkStep(std::atomic<int>& counter)
{
    const int next = counter.load() < 10 ? counter.load() + 1 : 0;
    counter.store(next);
    return next < 3 ? 1 : 0;
}

void RS232Send()
{
    if (com_idle.load() != 1) return;
    buildNextRequest();
    if (tx_package_flag.load() != 1) {
        sendLedON = 0;
        return;
    }
    tx_package_flag = 0;
    unsigned char frame[MODBUS_BUFFER_SIZE];
    int length = 0;
    {
        std::lock_guard<std::mutex> lock(modbus_tx_mutex);
        length = modbus_tx_frame_byte_num.load();
        if (length < 0 || length > MODBUS_BUFFER_SIZE) length = 0;
        std::memcpy(frame, modbus_tx_buffer, static_cast<size_t>(length));
    }
    const int port = active_comselect.load();
    // Whatever waits in the input queue now (a reply that came after its
    // time-out, noise) must not be read in front of this request's reply.
    FlushInQ(port);
    const int written = ComWrt(port, reinterpret_cast<const char*>(frame), length);
    sendLedON = 1;
    if (written == length) LineRequestSent(frame, length);
    if (written != length) {
        LinePortError("Com write failed! ");
        // Settle the port state before the box: while it is up the port panel
        // may already be opening the port again.
        FlushInQ(port);
        comConfigure_success_flag = 0;
        AbandonWrites("write to the port failed", ReconnectEnabled());
        PortErrorPopup("Com write failed! ");
    }
}

namespace {

void collectReplyBytes()
{
    const int port = active_comselect.load();
    int queued = GetInQLen(port);
    int n = 0;
    if (queued < 0) {
        n = queued;
    } else {
        // One poll takes what the receive buffer holds; the rest waits for the next poll.
        if (queued > RECEIVE_BUFFER_SIZE) queued = RECEIVE_BUFFER_SIZE;
        receive_leng = queued;
        n = ComRd(port, reinterpret_cast<char*>(receive_buffer), queued);
    }
    FlushOutQ(port);
    if (n < 0) {
        LinePortError("Com Read failed! ");
        FlushOutQ(port);
        comConfigure_success_flag = 0;
        AbandonWrites("read from the port failed", ReconnectEnabled());
        PortErrorPopup("Com Read failed! ");
        return;
    }
    if (n > 0) {
        LineBytesReceived(n);
        bool dropped = false;
        for (int i = 0; i < n && i < RECEIVE_BUFFER_SIZE; ++i) {
            if (receive_count < MAX_REPLY_BYTES) {
                modbus_rx_buffer[receive_count++] = receive_buffer[i];
            } else {
                dropped = true;
            }
        }
        if (dropped) FlushInQ(port);
        receive_frame_end_delay = 0;
    } else if (receive_count > 0) {
        if (receive_frame_end_delay == 0) {
            receive_frame_end_delay = 1;
            receive_frame_end_delay_begin = ClockUs();
        } else {
            receive_frame_end_delay_end = ClockUs();
            if (receive_frame_end_delay_end - receive_frame_end_delay_begin > FRAME_END_SILENCE_MS * 1000LL) {
                receive_frame_end_flag = 1;
                receive_frame_end_delay = 0;
                receive_frame_length = receive_count;
                receive_count = 0;
            }
        }
    }
}

void checkReplyTimeout()
{
    if (com_idle.load() == 0) {
        if (com_idle_delay == 0) {
            com_idle_delay = 1;
            com_idle_delay_begin = ClockUs();
        } else {
            com_idle_delay_end = ClockUs();
            if (com_idle_delay_end - com_idle_delay_begin > REPLY_TIMEOUT_MS * 1000LL) {
                unsigned char request[MODBUS_BUFFER_SIZE];
                {
                    std::lock_guard<std::mutex> lock(modbus_tx_mutex);
                    std::memcpy(request, modbus_tx_buffer, sizeof request);
                }
                WriteReplyTimedOut(request);
                com_idle_delay = 0;
                LineReplyTimeout(modbus_rx_buffer, receive_count);
                receive_count = 0;
                receive_frame_end_delay = 0;
                com_idle = 1;
                recieveLedON = 0;
            }
        }
    } else {
        com_idle_delay = 0;
        recieveLedON = 0;
    }
}

}  // namespace

int RS232ParseFrame()
{
    if (receive_frame_end_flag != 1) return MODBUS_BAD_CRC;
    receive_frame_end_flag = 0;
    unsigned char request[MODBUS_BUFFER_SIZE];
    {
        std::lock_guard<std::mutex> lock(modbus_tx_mutex);
        std::memcpy(request, modbus_tx_buffer, sizeof request);
    }
    const int result = modbus_unpackage(modbus_rx_buffer, receive_frame_length, request);
    WriteReplyArrived(request, modbus_rx_buffer, receive_frame_length, result);
    LineReplyParsed(modbus_rx_buffer, receive_frame_length, result);
    recieveLedON = result == MODBUS_READ_ACCEPTED ? 1 : 0;
    com_idle = 1;
    com_idle_delay = 0;
    return result;
}

void RS232ReceiveLedStep()
{
    if (recieveLedON.load() == 1) {
        SetCtrlVal(panelMain.load(), uir::panel_main::LED_RECIEVE, blinkStep(recieveLedShineDelay));
    } else {
        recieveLedShineDelay = 0;
        SetCtrlVal(panelMain.load(), uir::panel_main::LED_RECIEVE, 0);
    }
}

void RS232Rec()
{
    RS232ReceiveLedStep();
    if (com_idle.load() == 0) collectReplyBytes();
    checkReplyTimeout();
    RS232ParseFrame();
}

void ResetLine(const char* why, bool keepPending)
{
    LinePortOpened(OpenPortDescription().c_str());
    AbandonWrites(why, keepPending);
    receive_count = 0;
    receive_frame_end_delay = 0;
    receive_frame_end_flag = 0;
    com_idle_delay = 0;
    recieveLedON = 0;
    com_idle = 1;
}

void WritePasswordWhenIdle()
{
    if (!take_idle_line()) {
        // Before the password is accepted the communication thread writes it
        // itself whenever it finds the line idle; afterwards it polls, and the
        // timer must write this one.
        if (hci_commnication_enable_5927.load() == 1) communication_password_sendFlag = 1;
        return;
    }
    const int value = static_cast<int>(registerWord(communication_password_hci.value.load()));
    // Nothing is awaited after a failed write (it has been reported).
    if (send_1frame(6, communication_password_hci.address.load(), value) == -1) com_idle = 1;
}

void ErrorCheck(const char* message, int errorCode, const char* errorText)
{
    (void)errorText;
    char text[256];
    std::snprintf(text, sizeof text, "%s (Error = %d).\n\nQuit? ", message != nullptr ? message : "",
                  errorCode);
    MessagePopup("ErrorCheck", text);
    // End at once: worker threads are still running, so neither static
    // destructors nor std::thread's terminate-on-destroy may run.
    std::fflush(nullptr);
    std::_Exit(-1);
}
