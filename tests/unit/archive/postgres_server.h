#pragma once
// A real PostgreSQL server for the archive tests: started once per test
// program from the installed package's initdb and pg_ctl, in a temporary
// folder owned by the postgres user (the tools refuse to run as root), on a
// unix socket in that folder and a free port; stopped and removed at exit.

#include <string>

namespace ravik::test {

class PostgresServer {
public:
    // The one server of this program, started on first use; nullptr with the
    // reason in whyNot when the package is not installed.
    static PostgresServer* Get(std::string& whyNot);
    ~PostgresServer();

    // A new, empty database on the server, as a postgresql:// address.
    std::string freshDatabase();

private:
    PostgresServer() = default;
    std::string folder_;
    std::string bin_;
    int port_ = 0;
    int owner_ = 0;
    int databases_ = 0;
    std::string runAs_;
};

}  // namespace ravik::test
