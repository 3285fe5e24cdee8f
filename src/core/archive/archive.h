#pragma once
// The readings archive: every reading of many readings files in one
// database, kept as the record bytes the file holds, with the fields a search
// needs derived by the field formatter. SQLite ("archive.sqlite" in the data
// directory) by default, or a PostgreSQL server named by a
// "postgresql://..." address. Both engines run the same schema and the same
// statements; only the binding of record bytes differs.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/readings/mode.h"
#include "core/settings/settings.h"

namespace soci {
class session;
}

namespace ravik {

inline constexpr const char* kArchiveFileName = "archive.sqlite";
inline constexpr const char* kArchiveEnvironment = "RAVIK_ARCHIVE";
inline constexpr int kArchiveSchemaVersion = 1;

// Every failure of the archive: the text says what and names the database.
class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class ArchiveEngine { Sqlite, Postgresql };

// Where the archive is: --db, else $RAVIK_ARCHIVE, else archive.sqlite in the
// data directory. A "postgresql://" or "postgres://" address is a server;
// anything else is an SQLite file's path.
struct ArchiveTarget {
    ArchiveEngine engine = ArchiveEngine::Sqlite;
    std::string location;  // file path or connection address
    // How long a locked SQLite database is waited for, and a server's
    // connection is tried, before the archive gives up.
    int waitSeconds = 10;
};
ArchiveTarget ResolveArchiveTarget(const std::string& dbOption, const std::string& dataDirectory);

// An open archive. Opening creates the schema on first use (an SQLite file
// only when it does not exist yet) and migrates an older schema; a file that
// is not an SQLite database, or a newer schema, is refused.
class Archive {
public:
    explicit Archive(const ArchiveTarget& target);
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    ArchiveEngine engine() const { return target_.engine; }
    const ArchiveTarget& target() const { return target_; }
    // The archive's name in messages: the file path, or the address without a password.
    std::string name() const;
    soci::session& session() { return *session_; }

    // The column type of record bytes: BLOB on SQLite, bytea on PostgreSQL
    // (never a server's large object, which a delete would leave behind).
    const char* bytesColumnType() const;
    // Bytes read from such a column back as they were stored.
    std::string storedBytes(const std::string& fetched) const;

private:
    void openSqlite();
    void openPostgresql();
    void createOrMigrate();
    ArchiveTarget target_;
    std::unique_ptr<soci::session> session_;
};

// --- adding ---------------------------------------------------------------

enum class AddResult {
    Added,      // new file, all readings stored
    Replaced,   // the file had changed: its readings replaced
    Unchanged,  // its content is archived already (skipped)
    Damaged,    // the whole readings stored, the file is damaged
    Refused,    // unreadable or not a readings file: nothing stored
};

struct AddReport {
    std::string path;
    AddResult result = AddResult::Refused;
    int readings = 0;
    std::string message;  // why a file was refused or is damaged
};

struct AddProgress {
    size_t fileIndex = 0;   // 0-based
    size_t fileCount = 0;
    int readingsStored = 0;  // of this file so far
};

// Expands folders (recursively, readings files only, in name order) and
// adds each file in its own transaction.
std::vector<std::string> ExpandArchivePaths(const std::vector<std::string>& paths,
                                            std::vector<std::string>& missing);
std::vector<AddReport> AddToArchive(Archive& archive, const std::vector<std::string>& files,
                                    const std::function<void(const AddProgress&)>& progress = {});

// --- finding --------------------------------------------------------------

enum class FindOrder { File, Date, Value };

struct ArchiveFilter {
    std::optional<std::string> site;  // the file's site, without regard to ASCII case
    std::optional<Mode> mode;
    std::optional<int> paintClass;  // 1 POS, 2 NEG, 3 INC (INC and INCOM)
    std::optional<std::string> element;
    std::optional<double> minValue, maxValue;  // with element
    std::optional<std::string> from, to;       // "YYYY-MM-DD", both days included
    std::vector<std::string> words;            // each in the annotation fields
    std::optional<std::string> file;           // the file's path contains this
    bool includeHidden = false;
    FindOrder order = FindOrder::File;
    std::optional<long long> limit;
};

struct FoundReading {
    long long fileId = 0;
    std::string path;
    std::string site;
    int readingNumber = 0;
    Mode mode = Mode::Paint;
    int instrumentNumber = 0;
    std::string taken;  // ISO 8601
    int paintClass = 0;  // 0 for other modes
    bool hidden = false;
    std::string annotations;  // UTF-8, fields separated by TAB
    std::string fields;       // Ssec, Date/Time, Cycle (and Paint's DI, Result), TAB-separated
    std::optional<double> elementValue;  // with an element filter
    bool belowDetection = false;
};

// The class a Paint reading has under the settings' classification, as the
// table shows it; other modes count as NEG (2), as selections count them.
int ArchivedClass(const Settings& settings, Mode mode, int deviceClass, double lValue, double seconds);

// Query values are bound parameters; the query only reads.
std::vector<FoundReading> FindReadings(Archive& archive, const ArchiveFilter& filter, const Settings& settings);
long long CountReadings(Archive& archive, const ArchiveFilter& filter, const Settings& settings);

// The record bytes of found readings and their files' header and version.
struct CollectedReading {
    std::string record;
    std::string header;
    double fileVersion = 0;
};
std::vector<CollectedReading> CollectRecords(Archive& archive, const std::vector<FoundReading>& found);

// --- files ----------------------------------------------------------------

struct ArchivedFile {
    long long id = 0;
    std::string path;
    std::string hash;
    long long size = 0;
    long long modified = 0;
    std::string site;
    double fileVersion = 0;
    int readings = 0;
    enum class State { Present, Gone, Changed } state = State::Present;
};
std::vector<ArchivedFile> ListArchivedFiles(Archive& archive);
// Removes the files with these paths, and every file under a folder given;
// returns the paths removed.
std::vector<std::string> RemoveFromArchive(Archive& archive, const std::vector<std::string>& paths);
// Reads every stored record back and checks it against its fields; returns
// the problems found (empty when the archive is sound).
std::vector<std::string> CheckArchive(Archive& archive);

// The content hash of a file's bytes (64-bit FNV-1a, hex).
std::string ContentHash(const std::string& bytes);

}  // namespace ravik
