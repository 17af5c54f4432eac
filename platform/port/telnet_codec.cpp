#include "platform/port/telnet_codec.h"

namespace netport {

using namespace telnet;

void AppendEscaped(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>* out)
{
    out->reserve(out->size() + count + 4);
    for (std::size_t i = 0; i < count; ++i) {
        out->push_back(bytes[i]);
        if (bytes[i] == kIac) out->push_back(kIac);
    }
}

void TelnetReader::feed(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>* data,
                        std::vector<TelnetEvent>* events)
{
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t b = bytes[i];
        switch (state_) {
            case State::Data:
                if (b == kIac) {
                    state_ = State::Command;
                } else {
                    data->push_back(b);
                }
                break;
            case State::Command:
                state_ = State::Data;
                if (b == kIac) {
                    data->push_back(b);
                } else if (b >= kWill) {
                    verb_ = b;
                    state_ = State::Option;
                } else if (b == kSb) {
                    state_ = State::SubOption;
                } else if (b >= kSe) {
                    TelnetEvent e;
                    e.kind = TelnetEvent::Kind::Command;
                    e.verb = b;
                    events->push_back(e);
                }
                break;
            case State::Option: {
                TelnetEvent e;
                e.kind = TelnetEvent::Kind::Option;
                e.verb = verb_;
                e.option = b;
                events->push_back(e);
                state_ = State::Data;
                break;
            }
            case State::SubOption:
                sub_ = TelnetEvent{};
                sub_.kind = TelnetEvent::Kind::Subnegotiation;
                sub_.verb = kSb;
                sub_.option = b;
                state_ = State::SubData;
                break;
            case State::SubData:
                if (b == kIac) {
                    state_ = State::SubIac;
                } else if (sub_.payload.size() < kMaxPayload) {
                    sub_.payload.push_back(b);
                } else {
                    sub_.truncated = true;
                }
                break;
            case State::SubIac:
                if (b == kIac) {
                    if (sub_.payload.size() < kMaxPayload) {
                        sub_.payload.push_back(b);
                    } else {
                        sub_.truncated = true;
                    }
                    state_ = State::SubData;
                } else if (b == kSe) {
                    events->push_back(sub_);
                    sub_ = TelnetEvent{};
                    state_ = State::Data;
                } else {
                    // A command inside a subnegotiation: the subnegotiation is
                    // given up, and the command read as one outside it.
                    sub_ = TelnetEvent{};
                    state_ = State::Command;
                    --i;
                }
                break;
        }
    }
}

namespace {

bool WeOffer(std::uint8_t option)
{
    return option == kBinary || option == kComPort || option == kSuppressGoAhead;
}

// The server echoing our bytes back would put requests among the replies.
bool WeAccept(std::uint8_t option)
{
    return option == kBinary || option == kSuppressGoAhead;
}

const char* SettingName(std::uint8_t command)
{
    switch (command) {
        case comport::kSetBaudRate:
            return "bit rate";
        case comport::kSetDataSize:
            return "data bits";
        case comport::kSetParity:
            return "parity";
        case comport::kSetStopSize:
            return "stop bits";
        default:
            return "setting";
    }
}

std::uint8_t ParityCode(int parity)
{
    if (parity == 1) return comport::kParityOdd;
    if (parity == 2) return comport::kParityEven;
    return comport::kParityNone;
}

}  // namespace

std::string DescribeComSetting(std::uint8_t command, std::uint32_t value)
{
    const std::string n = std::to_string(value);
    switch (command) {
        case comport::kSetBaudRate:
            return n + " bit/s";
        case comport::kSetDataSize:
            return n + " data bits";
        case comport::kSetParity: {
            static const char* const kNames[] = {"parity (none asked)", "parity none", "parity odd",
                                                 "parity even",         "parity mark", "parity space"};
            return value < 6 ? kNames[value] : "parity code " + n;
        }
        case comport::kSetStopSize:
            if (value == 1) return "1 stop bit";
            if (value == 2) return "2 stop bits";
            if (value == 3) return "1.5 stop bits";
            return "stop bit code " + n;
        default:
            return "value " + n;
    }
}

ComPortClient::ComPortClient(const SerialSettings& s)
{
    settings_[0] = {comport::kSetBaudRate, static_cast<std::uint32_t>(s.baud), false};
    settings_[1] = {comport::kSetDataSize, static_cast<std::uint32_t>(s.dataBits), false};
    settings_[2] = {comport::kSetParity, ParityCode(s.parity), false};
    settings_[3] = {comport::kSetStopSize, static_cast<std::uint32_t>(s.stopBits), false};
    us_[kComPort] = Option::WantYes;
    sendOption(kWill, kComPort);
    us_[kBinary] = Option::WantYes;
    sendOption(kWill, kBinary);
    him_[kBinary] = Option::WantYes;
    sendOption(kDo, kBinary);
}

void ComPortClient::receive(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>* data)
{
    events_.clear();
    reader_.feed(bytes, count, data, &events_);
    for (const TelnetEvent& e : events_) {
        if (e.kind == TelnetEvent::Kind::Option) onOption(e.verb, e.option);
        if (e.kind == TelnetEvent::Kind::Subnegotiation) onSubnegotiation(e);
    }
}

void ComPortClient::takeOutgoing(std::vector<std::uint8_t>* out)
{
    out->insert(out->end(), outgoing_.begin(), outgoing_.end());
    outgoing_.clear();
}

void ComPortClient::purge(std::uint8_t which)
{
    sendSubnegotiation(comport::kPurgeData, &which, 1);
}

// Each side of each option is in one of three states; a request is answered
// only when it changes something, so that two sides never answer each other
// for ever.
void ComPortClient::onOption(std::uint8_t verb, std::uint8_t option)
{
    const bool local = verb == kDo || verb == kDont;
    Option& state = local ? us_[option] : him_[option];
    const bool enable = verb == kDo || verb == kWill;
    const std::uint8_t yes = local ? kWill : kDo;
    const std::uint8_t no = local ? kWont : kDont;
    const bool agreeable = local ? WeOffer(option) : WeAccept(option);
    const Option before = state;
    if (enable) {
        if (before == Option::No) {
            state = agreeable ? Option::Yes : Option::No;
            sendOption(agreeable ? yes : no, option);
        } else {
            state = Option::Yes;
        }
    } else {
        state = Option::No;
        if (before == Option::Yes) sendOption(no, option);
    }
    if (!local || option != kComPort) return;
    if (state == Option::Yes && stage_ == Stage::Negotiating) {
        sendSettings();
    } else if (state == Option::No && stage_ == Stage::Negotiating) {
        fail(
            "the server does not take the COM port option (for a server that passes the line's bytes as "
            "they are, use tcp://)");
    }
}

void ComPortClient::onSubnegotiation(const TelnetEvent& event)
{
    if (event.option != kComPort || event.payload.empty() || stage_ != Stage::Configuring) return;
    const std::uint8_t code = event.payload[0];
    if (code <= comport::kServerAnswer) return;
    for (Setting& s : settings_) {
        if (s.command + comport::kServerAnswer != code || s.answered) continue;
        const std::size_t size = s.command == comport::kSetBaudRate ? 4 : 1;
        if (event.payload.size() < 1 + size) {
            fail(std::string("the server's answer to the ") + SettingName(s.command) + " is cut short");
            return;
        }
        std::uint32_t got = 0;
        for (std::size_t i = 0; i < size; ++i) got = (got << 8) | event.payload[1 + i];
        if (got != s.asked) {
            fail("the server did not take " + DescribeComSetting(s.command, s.asked) + " (it holds " +
                 DescribeComSetting(s.command, got) + ")");
            return;
        }
        s.answered = true;
    }
    for (const Setting& s : settings_) {
        if (!s.answered) return;
    }
    stage_ = Stage::Ready;
}

void ComPortClient::sendOption(std::uint8_t verb, std::uint8_t option)
{
    if (outgoing_.size() + 3 > kMaxOutgoing) return;
    outgoing_.insert(outgoing_.end(), {kIac, verb, option});
}

void ComPortClient::sendSubnegotiation(std::uint8_t command, const std::uint8_t* value, std::size_t count)
{
    std::vector<std::uint8_t> frame = {kIac, kSb, kComPort};
    AppendEscaped(&command, 1, &frame);
    AppendEscaped(value, count, &frame);
    frame.insert(frame.end(), {kIac, kSe});
    if (outgoing_.size() + frame.size() > kMaxOutgoing) return;
    outgoing_.insert(outgoing_.end(), frame.begin(), frame.end());
}

void ComPortClient::sendSettings()
{
    stage_ = Stage::Configuring;
    for (const Setting& s : settings_) {
        if (s.command == comport::kSetBaudRate) {
            const std::uint8_t v[4] = {
                static_cast<std::uint8_t>(s.asked >> 24), static_cast<std::uint8_t>(s.asked >> 16),
                static_cast<std::uint8_t>(s.asked >> 8), static_cast<std::uint8_t>(s.asked)};
            sendSubnegotiation(s.command, v, 4);
        } else {
            const std::uint8_t v = static_cast<std::uint8_t>(s.asked);
            sendSubnegotiation(s.command, &v, 1);
        }
    }
    const std::uint8_t none = comport::kNoFlowControl;
    sendSubnegotiation(comport::kSetControl, &none, 1);
}

void ComPortClient::fail(const std::string& why)
{
    if (stage_ == Stage::Failed) return;
    stage_ = Stage::Failed;
    failure_ = why;
}

}  // namespace netport
