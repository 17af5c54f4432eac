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

Ser2net::Ser2net(const std::string& device, Kind kind, int port)
    : port_(port != 0 ? port : NetServer::FreePort())
{
    const std::string program = Program();
    if (program.empty()) {
        error_ = "ser2net is not installed (tools/install-deps.sh installs it)";
        return;
    }
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
            return;
        }
    }
    const std::string log = dir_ + "/ser2net.log";
    std::vector<std::string> args = {program, "-n", "-u", "-c", config, "-P", dir_ + "/ser2net.pid"};
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
        return;
    }
    pid_ = pid;
    const int listening = port_;
    if (!WaitFor([listening] { return Listening(listening); }, 10000ms)) {
        std::ifstream in(log);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        error_ = "ser2net does not listen on port " + std::to_string(port_) + ": " + text;
    }
}

Ser2net::~Ser2net()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        const bool ended = WaitFor([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, 5000ms);
        if (!ended) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
        }
    }
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
}

}  // namespace testsupport
