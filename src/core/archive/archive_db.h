#pragma once
// What the archive's statements share inside the core: the one
// engine-specific binding of record bytes, statements with a varying number
// of parameters, and the text of database errors.

#include <deque>
#include <memory>
#include <string>

#include <soci/soci.h>

#include "core/archive/archive.h"

namespace ravik::archive_db {

// A statement parameter holding record bytes: a BLOB on SQLite, bytea (as
// its hex input text) on PostgreSQL.
class BytesParameter {
public:
    explicit BytesParameter(Archive& archive);
    void set(const std::string& bytes);
    void bindTo(soci::statement& statement);

private:
    ArchiveEngine engine_;
    std::unique_ptr<soci::blob> blob_;
    std::string hex_;
};

// Parameters collected while a statement's text is built: each add returns
// the placeholder to put in the text, and bindTo binds them in that order.
class Parameters {
public:
    std::string add(const std::string& value);
    std::string add(double value);
    std::string add(long long value);
    void bindTo(soci::statement& statement);

private:
    std::string next();
    struct Slot {
        int kind;
        size_t index;
    };
    std::deque<std::string> strings_;
    std::deque<double> doubles_;
    std::deque<long long> integers_;
    std::deque<Slot> order_;
};

// Prepares text on the session with the uses already exchanged.
void Prepare(soci::statement& statement, const std::string& text);

// "the archive NAME: what went wrong", with the database's own words.
[[noreturn]] void Fail(Archive& archive, const std::string& doing, const std::exception& error);

// True when a database error is a unique-key clash (two adders at once).
bool IsUniqueClash(const std::exception& error);

// ASCII lower case, as both engines' lower() agree on it.
std::string LowerAscii(std::string text);

}  // namespace ravik::archive_db
