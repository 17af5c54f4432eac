#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "tests/support/net_server.h"
#include "tests/support/ser2net.h"
#include "tests/support/test_support.h"

namespace testsupport {

namespace {

using namespace std::chrono_literals;

// True while something listens on `port` of the loopback interface: the
// port cannot be bound. (A probe connection would make ser2net open the
// device, and hold it for a moment after.)
bool Listening(int port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<unsigned short>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool taken = ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 && errno == EADDRINUSE;
    ::close(s);
    return taken;
}

std::string Program()
{
    for (const char* p : {"/usr/sbin/ser2net", "/usr/bin/ser2net", "/usr/local/sbin/ser2net"}) {
        if (::access(p, X_OK) == 0) return p;
    }
    return {};
}

}  // namespace

Ser2net::Ser2net(const std::string& device, Kind kind, int port) : port_(port)
{
    const std::string program = Program();
    if (program.empty()) {
        error_ = "ser2net is not installed (tools/install-deps.sh installs it)";
        return;
    }
    // A free port can be taken by another program between our choice and
    // ser2net's bind (ser2net then says so and runs on without listening):
    // a chosen port is chosen again, a given one tried again.
    const bool chosen = port == 0;
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (chosen) port_ = NetServer::FreePort();
        if (start(program, device, kind)) return;
        stop();
        if (!chosen) std::this_thread::sleep_for(500ms);
    }
}

bool Ser2net::start(const std::string& program, const std::string& device, Kind kind)
{
    error_.clear();
    std::error_code ec;
    const auto base = std::filesystem::temp_directory_path(ec) /
                      ("dsc-ser2net-" + std::to_string(::getpid()) + "-" + std::to_string(port_));
    std::filesystem::create_directories(base, ec);
    dir_ = base.string();
    const bool comPort = kind == Kind::ComPort;
    address_ = std::string(comPort ? "rfc2217" : "tcp") + "://127.0.0.1:" + std::to_string(port_);
    const std::string config = dir_ + "/ser2net.yaml";
    {
        // The line settings are the console's by the COM port option, and
        // ser2net's own for the raw port; "local" leaves the modem lines alone.
        std::ofstream out(config);
        out << "%YAML 1.1\n---\n"
            << "connection: &line\n"
            << "  accepter: " << (comPort ? "telnet(rfc2217),tcp" : "tcp") << ",127.0.0.1," << port_ << "\n"
            << "  connector: serialdev," << device << ",19200o81,local\n"
            << "  options:\n    kickolduser: true\n";
        if (!out) {
            error_ = "cannot write " + config;
            return false;
        }
    }
    // -d: in the foreground, with its log (a port it cannot bind, say) on
    // its standard output instead of the system's log.
    const std::string log = dir_ + "/ser2net.log";
    std::vector<std::string> args = {program, "-d", "-u", "-c", config, "-P", dir_ + "/ser2net.pid"};
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        error_ = "cannot start ser2net";
        return false;
    }
    pid_ = pid;
    const auto logText = [&log] {
        std::ifstream in(log);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    const int listening = port_;
    bool refused = false;
    const bool up = WaitFor(
        [&] {
            if (Listening(listening)) return true;
            refused = logText().find("Unable to startup network port") != std::string::npos;
            return refused;
        },
        10000ms);
    if (up && !refused) return true;
    error_ = "ser2net does not listen on port " + std::to_string(port_) + ": " + logText();
    return false;
}

void Ser2net::stop()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        const bool ended = WaitFor([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, 5000ms);
        if (!ended) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
        }
        pid_ = -1;
    }
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
    dir_.clear();
}

Ser2net::~Ser2net()
{
    stop();
}

}  // namespace testsupport
