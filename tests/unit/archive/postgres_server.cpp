#include "postgres_server.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include <soci/postgresql/soci-postgresql.h>
#include <soci/soci.h>

namespace ravik::test {

namespace {

std::string FindBin() {
    namespace fs = std::filesystem;
    std::string best;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", error)) {
        const std::string bin = entry.path().string() + "/bin";
        if (fs::exists(bin + "/initdb") && fs::exists(bin + "/pg_ctl") && bin > best) best = bin;
    }
    return best;
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

}  // namespace

PostgresServer* PostgresServer::Get(std::string& whyNot) {
    static std::unique_ptr<PostgresServer> server;
    static std::string failure;
    if (server || !failure.empty()) {
        whyNot = failure;
        return server.get();
    }
    const std::string bin = FindBin();
    if (bin.empty()) {
        failure = whyNot = "PostgreSQL is not installed (no /usr/lib/postgresql/*/bin/initdb): its suite is skipped";
        return nullptr;
    }
    auto made = std::unique_ptr<PostgresServer>(new PostgresServer);
    made->bin_ = bin;
    made->owner_ = ::getpid();
    char folder[] = "/tmp/ravik-pg-XXXXXX";
    if (::mkdtemp(folder) == nullptr) throw std::runtime_error("mkdtemp failed");
    made->folder_ = folder;
    if (::geteuid() == 0) {
        const passwd* user = ::getpwnam("postgres");
        if (user == nullptr || ::chown(folder, user->pw_uid, user->pw_gid) != 0) {
            throw std::runtime_error("the postgres user cannot own " + made->folder_);
        }
        made->runAs_ = "runuser -u postgres -- ";
    }
    // The server listens on no TCP address, only on a socket in its own
    // folder, so no other server can hold the port that names the socket.
    made->port_ = 20000 + ::getpid() % 20000;
    const std::string data = made->folder_ + "/data";
    Run(made->runAs_ + bin + "/initdb -D " + data + " -A trust -U postgres -E UTF8 --no-locale --no-sync >" +
        made->folder_ + "/initdb.log 2>&1");
    Run(made->runAs_ + bin + "/pg_ctl -D " + data + " -l " + made->folder_ + "/server.log -w -o \"-k " +
        made->folder_ + " -p " + std::to_string(made->port_) +
        " -c listen_addresses='' -c fsync=off -c synchronous_commit=off -c full_page_writes=off\" start >/dev/null");
    server = std::move(made);
    return server.get();
}

PostgresServer::~PostgresServer() {
    if (::getpid() != owner_) return;  // a forked test child leaves the server alone
    std::system((runAs_ + bin_ + "/pg_ctl -D " + folder_ + "/data -m immediate stop >/dev/null 2>&1").c_str());
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
}

std::string PostgresServer::freshDatabase() {
    const std::string name = "archive" + std::to_string(++databases_);
    const std::string server = "postgresql://postgres@/";
    const std::string where = "?host=" + folder_ + "&port=" + std::to_string(port_);
    soci::session admin(soci::postgresql, server + "postgres" + where);
    admin << "CREATE DATABASE " + name;
    return server + name + where;
}

}  // namespace ravik::test
