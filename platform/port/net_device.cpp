#include "platform/port/net_device.h"

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <thread>
#include <vector>

#include "platform/port/net_address.h"
#include "platform/port/net_socket.h"
#include "platform/port/serial_log.h"
#include "platform/port/telnet_codec.h"

namespace netport {

namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr double kMaxWaitSeconds = 1e6;
constexpr std::size_t kReceiveChunk = 4096;
// Bytes read off the connection wait here until the console takes them; past
// this many the connection is not read, so that a server sending faster than
// the console reads is held back by TCP instead of filling memory.
constexpr std::size_t kMinInputLimit = 4096;
// A discard takes at most this many reads of what is already there.
constexpr int kMaxDiscardReads = 16;

SteadyClock::time_point DeadlineAfter(double seconds)
{
    if (!(seconds > 0)) seconds = 0;  // also catches NaN
    seconds = std::min(seconds, kMaxWaitSeconds);
    return SteadyClock::now() + std::chrono::microseconds(static_cast<long long>(seconds * 1e6));
}

long long UsUntil(SteadyClock::time_point deadline)
{
    const auto left = deadline - SteadyClock::now();
    return left <= SteadyClock::duration::zero() ? 0
                                                 : std::chrono::ceil<std::chrono::microseconds>(left).count();
}

std::string Seconds(std::chrono::milliseconds budget)
{
    const long long ms = budget.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

class NetDevice final : public SerialDevice {
public:
    NetDevice(netsys::Socket socket, std::unique_ptr<ComPortClient> client, std::string name,
              std::size_t inputLimit)
        : socket_(socket), client_(std::move(client)), name_(std::move(name)), inputLimit_(inputLimit)
    {
        if (client_) client_->takeOutgoing(&outgoing_);
    }
    ~NetDevice() override { close(); }
    NetDevice(const NetDevice&) = delete;
    NetDevice& operator=(const NetDevice&) = delete;

    // Runs the COM port negotiation until the server has answered every
    // setting; false with *reason set when it failed or `deadline` passed.
    bool negotiate(SteadyClock::time_point deadline, std::chrono::milliseconds budget, std::string* reason)
    {
        while (client_->stage() != ComPortClient::Stage::Ready) {
            if (client_->stage() == ComPortClient::Stage::Failed) {
                *reason = client_->failure();
                return false;
            }
            if (!sendOutgoing(deadline)) {
                *reason = ended_ ? name_ + ": " + endReason_ + " during the negotiation"
                                 : name_ + ": the server took nothing for " + Seconds(budget);
                return false;
            }
            const long long left = UsUntil(deadline);
            if (left == 0 || pump(left) < 0) break;
        }
        if (client_->stage() == ComPortClient::Stage::Ready) {
            if (!client_->binaryFromServer() || !client_->binaryToServer()) {
                qCWarning(lcSerial) << name_.c_str() << "refuses binary transmission; bytes may be altered";
            }
            return true;
        }
        if (client_->stage() == ComPortClient::Stage::Failed) {
            *reason = client_->failure();
        } else if (ended_) {
            *reason = name_ + ": " + endReason_ + " during the negotiation";
        } else if (client_->stage() == ComPortClient::Stage::Negotiating) {
            *reason = name_ + ": no answer to the COM port option within " + Seconds(budget) +
                      " (is it an RFC 2217 server? for the line's bytes as they are, use tcp://)";
        } else {
            *reason = name_ + ": the server did not answer the line settings within " + Seconds(budget);
        }
        return false;
    }

    int write(const char* buffer, int count) override
    {
        if (socket_ == netsys::kNoSocket) return kRs232PortNotOpen;
        if (ended_) return lose(kRs232WriteFailed, endReason_);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer);
        if (client_) {
            AppendEscaped(bytes, static_cast<std::size_t>(count), &outgoing_);
        } else {
            outgoing_.insert(outgoing_.end(), bytes, bytes + count);
        }
        if (sendOutgoing(DeadlineAfter(writeTimeout_))) return count;
        // A server that takes nothing for the whole time-out is as gone as
        // one that closed: what it holds of the stream is no longer known.
        return lose(kRs232WriteFailed, ended_ ? endReason_ : "the server took nothing within the time-out");
    }

    int read(char* buffer, int count, double timeoutSeconds) override
    {
        if (socket_ == netsys::kNoSocket) return kRs232PortNotOpen;
        const auto deadline = DeadlineAfter(timeoutSeconds);
        int got = 0;
        for (bool first = true;; first = false) {
            got += take(buffer + got, count - got);
            if (got >= count) break;
            if (ended_) {
                if (got > 0) break;
                return lose(kRs232ReadFailed, endReason_);
            }
            const long long left = UsUntil(deadline);
            if (!first && left == 0) break;
            pump(left);
        }
        return got;
    }

    int inputQueueLength() override
    {
        if (socket_ == netsys::kNoSocket) return kRs232PortNotOpen;
        pump(0);
        const std::size_t n = available();
        if (n == 0 && ended_) return lose(kRs232ReadFailed, endReason_);
        return n > INT_MAX ? INT_MAX : static_cast<int>(n);
    }

    int waitInput(double timeoutSeconds) override
    {
        if (socket_ == netsys::kNoSocket) return kRs232PortNotOpen;
        const auto deadline = DeadlineAfter(timeoutSeconds);
        for (bool first = true;; first = false) {
            if (available() > 0) return 1;
            if (ended_) return lose(kRs232ReadFailed, endReason_);
            const long long left = UsUntil(deadline);
            if (!first && left == 0) return 0;
            pump(left);
        }
    }

    int flushInput() override
    {
        if (socket_ == netsys::kNoSocket) return kRs232PortNotOpen;
        // What has already arrived goes, and the server is told to drop what
        // it still holds on its way here.
        for (int i = 0; i < kMaxDiscardReads; ++i) {
            discardInput();
            if (pump(0) <= 0) break;
        }
        discardInput();
        if (ended_) return lose(kRs232ReadFailed, endReason_);
        if (client_) {
            client_->purge(comport::kPurgeReceive);
            client_->takeOutgoing(&outgoing_);
            if (!sendOutgoing(DeadlineAfter(writeTimeout_))) {
                return lose(kRs232ReadFailed,
                            ended_ ? endReason_ : "the server took nothing within the time-out");
            }
        }
        return kRs232NoError;
    }

    // A write returns only once every byte is handed to the connection, so
    // nothing waits here to be discarded. The server's own buffer of bytes
    // on their way to the controller is left alone: the line discards the
    // output queue while it waits for a reply, and purging it there would
    // cut short the request still on its way out of the server.
    int flushOutput() override
    {
        if (socket_ == netsys::kNoSocket) return kRs232PortNotOpen;
        return kRs232NoError;
    }

    int close() override
    {
        netsys::Close(socket_);
        socket_ = netsys::kNoSocket;
        return kRs232NoError;
    }

    void setWriteTimeout(double seconds) override { writeTimeout_ = seconds; }
    bool lost() const override { return lost_; }

private:
    std::size_t available() const { return input_.size() - head_; }

    int take(char* buffer, int count)
    {
        const std::size_t n = std::min(available(), static_cast<std::size_t>(count));
        std::copy_n(input_.begin() + static_cast<std::ptrdiff_t>(head_), n, buffer);
        head_ += n;
        if (head_ == input_.size()) {
            input_.clear();
            head_ = 0;
        } else if (head_ > input_.size() / 2) {
            input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(head_));
            head_ = 0;
        }
        return static_cast<int>(n);
    }

    void discardInput()
    {
        input_.clear();
        head_ = 0;
    }

    // Waits up to `waitUs` for the connection to be readable, then reads what
    // is there and decodes it. Returns the bytes read off the connection, or
    // -1 once it has ended.
    int pump(long long waitUs)
    {
        if (ended_) return -1;
        if (available() >= inputLimit_) return 0;
        if (waitUs > 0) {
            const int ready = netsys::Wait(socket_, false, waitUs);
            if (ready == 0) return 0;
            if (ready < 0) return end("the connection failed");
        }
        std::uint8_t chunk[kReceiveChunk];
        int total = 0;
        while (available() < inputLimit_) {
            const int n = netsys::Receive(socket_, chunk, sizeof chunk, &endReason_);
            if (n < 0) {
                ended_ = true;
                break;
            }
            if (n == 0) break;
            total += n;
            if (client_) {
                client_->receive(chunk, static_cast<std::size_t>(n), &input_);
            } else {
                input_.insert(input_.end(), chunk, chunk + n);
            }
        }
        // Negotiation answers go out at once, as far as the connection takes
        // them now; the rest goes before the next bytes written. A server
        // that sends requests without reading the answers gets no more of
        // them once a bound's worth waits.
        if (client_ && client_->hasOutgoing()) {
            if (outgoing_.size() < ComPortClient::kMaxOutgoing) {
                client_->takeOutgoing(&outgoing_);
            } else {
                std::vector<std::uint8_t> dropped;
                client_->takeOutgoing(&dropped);
            }
            sendOutgoing(SteadyClock::now());
        }
        return ended_ && total == 0 ? -1 : total;
    }

    // Sends what is queued, waiting for room until `deadline`; false when it
    // did not all go (the connection ended, or the time ran out).
    bool sendOutgoing(SteadyClock::time_point deadline)
    {
        std::size_t sent = 0;
        bool ok = true;
        while (sent < outgoing_.size()) {
            if (ended_) {
                ok = false;
                break;
            }
            std::string why;
            const int n = netsys::Send(socket_, outgoing_.data() + sent, outgoing_.size() - sent, &why);
            if (n < 0) {
                end(why);
                ok = false;
                break;
            }
            sent += static_cast<std::size_t>(n);
            if (n > 0) continue;
            const long long left = UsUntil(deadline);
            if (left == 0 || netsys::Wait(socket_, true, left) < 0) {
                ok = false;
                break;
            }
        }
        outgoing_.erase(outgoing_.begin(), outgoing_.begin() + static_cast<std::ptrdiff_t>(sent));
        return ok;
    }

    int end(const std::string& why)
    {
        if (!ended_) endReason_ = why;
        ended_ = true;
        return -1;
    }

    // The connection has gone and everything that came before is read: the
    // socket is released and every later call fails as on a closed port.
    int lose(int code, const std::string& why)
    {
        qCWarning(lcSerial) << name_.c_str() << "lost:" << why.c_str();
        close();
        lost_ = true;
        return code;
    }

    netsys::Socket socket_;
    std::unique_ptr<ComPortClient> client_;  // null for a tcp:// device
    std::string name_;
    std::size_t inputLimit_;
    std::vector<std::uint8_t> input_;  // data bytes not yet read, from head_ on
    std::size_t head_ = 0;
    std::vector<std::uint8_t> outgoing_;  // bytes for the connection not yet sent
    bool ended_ = false;
    std::string endReason_;
    bool lost_ = false;
    double writeTimeout_ = 5.0;
};

// Name resolution can take longer than the whole open may: it runs on a
// thread of its own, which is left to finish by itself when the time is up.
bool ResolveBefore(const NetAddress& address, SteadyClock::time_point deadline,
                   std::vector<netsys::Endpoint>* endpoints, std::string* error)
{
    if (address.literal) return netsys::Resolve(address.host, address.port, endpoints, error);
    struct Result {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool ok = false;
        std::vector<netsys::Endpoint> endpoints;
        std::string error;
    };
    auto result = std::make_shared<Result>();
    std::thread([result, host = address.host, port = address.port] {
        std::vector<netsys::Endpoint> found;
        std::string why;
        const bool ok = netsys::Resolve(host, port, &found, &why);
        std::lock_guard<std::mutex> lock(result->mutex);
        result->ok = ok;
        result->endpoints = std::move(found);
        result->error = why;
        result->finished = true;
        result->done.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(result->mutex);
    if (!result->done.wait_until(lock, deadline, [&] { return result->finished; })) {
        *error = "no answer from the name service";
        return false;
    }
    *endpoints = std::move(result->endpoints);
    *error = result->error;
    return result->ok;
}

// Tries each address in turn, each with its share of the time left.
netsys::Socket ConnectBefore(const std::vector<netsys::Endpoint>& endpoints, SteadyClock::time_point deadline,
                             std::chrono::milliseconds budget, std::string* reason, std::string* name)
{
    std::string firstRefusal;
    std::string lastSilent;
    for (std::size_t i = 0; i < endpoints.size(); ++i) {
        const long long leftMs = UsUntil(deadline) / 1000;
        if (leftMs <= 0) break;
        const long long share = leftMs / static_cast<long long>(endpoints.size() - i);
        std::string why;
        bool timedOut = false;
        const netsys::Socket s =
            netsys::Connect(endpoints[i], static_cast<int>(std::max<long long>(share, 1)), &why, &timedOut);
        if (s != netsys::kNoSocket) {
            *name = endpoints[i].text;
            return s;
        }
        if (timedOut) {
            lastSilent = endpoints[i].text;
        } else if (firstRefusal.empty()) {
            firstRefusal = endpoints[i].text + ": " + why;
        }
    }
    if (!firstRefusal.empty()) {
        *reason = firstRefusal;
    } else if (!lastSilent.empty()) {
        *reason = lastSilent + ": no answer within " + Seconds(budget);
    } else {
        *reason = "no answer within " + Seconds(budget);
    }
    return netsys::kNoSocket;
}

std::unique_ptr<SerialDevice> Refuse(int code, const std::string& why, int* error, std::string* reason)
{
    *error = code;
    *reason = why;
    return nullptr;
}

}  // namespace

std::unique_ptr<SerialDevice> OpenNetworkDevice(const std::string& path, const SerialSettings& settings,
                                                int* error, std::string* reason,
                                                std::chrono::milliseconds budget)
{
    const auto deadline = SteadyClock::now() + budget;
    NetAddress address;
    std::string why;
    if (!ParseNetAddress(path, &address, &why)) return Refuse(kRs232OpenFailed, why, error, reason);
    if (CheckSerialSettings(settings) != kRs232NoError) {
        return Refuse(kRs232InvalidParameter, "line settings no serial line carries", error, reason);
    }
    std::vector<netsys::Endpoint> endpoints;
    if (!ResolveBefore(address, deadline, &endpoints, &why)) {
        return Refuse(kRs232OpenFailed, "cannot find host '" + address.host + "': " + why, error, reason);
    }
    std::string name;
    const netsys::Socket socket = ConnectBefore(endpoints, deadline, budget, &why, &name);
    if (socket == netsys::kNoSocket) return Refuse(kRs232OpenFailed, why, error, reason);

    std::unique_ptr<ComPortClient> client;
    if (address.kind == NetKind::ComPortControl) client = std::make_unique<ComPortClient>(settings);
    const bool negotiates = client != nullptr;
    const std::size_t limit = std::max(kMinInputLimit, static_cast<std::size_t>(settings.inputQueueSize));
    auto device = std::make_unique<NetDevice>(socket, std::move(client), name, limit);
    if (negotiates && !device->negotiate(deadline, budget, &why)) {
        return Refuse(kRs232OpenFailed, why, error, reason);
    }
    qCDebug(lcSerial) << "connected to" << path.c_str() << "at" << name.c_str();
    *error = kRs232NoError;
    reason->clear();
    return device;
}

std::unique_ptr<SerialDevice> NetworkDriver::open(const std::string& path, const SerialSettings& settings,
                                                  int* error)
{
    std::string reason;
    std::unique_ptr<SerialDevice> device = OpenNetworkDevice(path, settings, error, &reason);
    std::lock_guard<std::mutex> lock(mutex_);
    if (device) {
        failures_.erase(path);
    } else {
        qCWarning(lcSerial) << "open of" << path.c_str() << "failed:" << reason.c_str();
        failures_[path] = reason;
    }
    return device;
}

bool NetworkDriver::claims(const std::string& path) const
{
    return IsNetworkPath(path);
}

bool NetworkDriver::present(const std::string& /*path*/) const
{
    return true;
}

std::string NetworkDriver::lastFailure(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = failures_.find(path);
    return it == failures_.end() ? std::string() : it->second;
}

void NetworkDriver::forget()
{
    std::lock_guard<std::mutex> lock(mutex_);
    failures_.clear();
}

NetworkDriver& NetworkPortDriver()
{
    static NetworkDriver* driver =
        new NetworkDriver;  // never destroyed: a late open never meets a dead mutex
    return *driver;
}

}  // namespace netport
