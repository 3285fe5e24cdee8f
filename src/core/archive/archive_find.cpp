// Searching the archive, collecting found records, listing, removing and
// checking archived files. Every value a user gives is a bound parameter.

#include <sys/stat.h>

#include <filesystem>

#include "core/archive/archive.h"
#include "core/archive/archive_db.h"
#include "core/platform/file_io.h"
#include "core/readings/record.h"

namespace ravik {

namespace {

using archive_db::Parameters;

// "%" and "_" match themselves in a LIKE pattern.
std::string LikeEscaped(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '%' || c == '_' || c == '!') escaped += '!';
        escaped += c;
    }
    return escaped;
}

// The WHERE clause (and element join) of a filter.
struct Clause {
    std::string join;
    std::string where;
};

Clause BuildClause(const ArchiveFilter& filter, const Settings& settings, Parameters& parameters) {
    Clause clause;
    std::string& where = clause.where;
    auto also = [&](const std::string& condition) { where += (where.empty() ? " WHERE " : " AND ") + condition; };
    if (filter.element) {
        std::string join = " JOIN archived_elements e ON e.file_id = r.file_id AND e.reading_no = r.reading_no"
                           " AND e.element = " + parameters.add(*filter.element);
        if (filter.minValue) join += " AND e.value >= " + parameters.add(*filter.minValue);
        if (filter.maxValue) join += " AND e.value <= " + parameters.add(*filter.maxValue);
        clause.join = join;
    }
    if (filter.site) also("f.site_key = " + parameters.add(archive_db::LowerAscii(*filter.site)));
    if (filter.mode) also("r.mode = " + parameters.add(static_cast<long long>(Index(*filter.mode))));
    if (filter.paintClass) {
        if (settings.pcs == kPcsUser) {
            // Each placeholder is used exactly once, as SOCI binds them by position.
            auto minimum = [&] { return parameters.add(static_cast<double>(settings.minLtime)); };
            auto pos = [&] { return parameters.add(static_cast<double>(settings.pos)); };
            auto neg = [&] { return parameters.add(static_cast<double>(settings.neg)); };
            switch (*filter.paintClass) {
                case 1: {
                    const std::string m = minimum(), p = pos();
                    also("(r.mode = 0 AND r.seconds >= " + m + " AND r.l_value >= " + p + ")");
                    break;
                }
                case 2: {
                    const std::string m = minimum(), p = pos(), n = neg();
                    also("(r.mode <> 0 OR (r.seconds >= " + m + " AND r.l_value < " + p + " AND r.l_value < " + n + "))");
                    break;
                }
                default: {
                    const std::string m = minimum(), p = pos(), n = neg();
                    also("(r.mode = 0 AND (r.seconds < " + m + " OR (r.l_value < " + p + " AND r.l_value >= " + n + ")))");
                }
            }
        } else {
            switch (*filter.paintClass) {
                case 1: also("(r.mode = 0 AND r.device_class = 1)"); break;
                case 2: also("(r.mode <> 0 OR r.device_class = 2)"); break;
                default: also("(r.mode = 0 AND r.device_class >= 3)");
            }
        }
    }
    if (filter.from) also("r.taken >= " + parameters.add(*filter.from));
    // The whole last day: every time stamp of it sorts before "DAYU".
    if (filter.to) also("r.taken < " + parameters.add(*filter.to + "U"));
    for (const std::string& word : filter.words) {
        also("lower(r.annotations) LIKE " + parameters.add("%" + LikeEscaped(archive_db::LowerAscii(word)) + "%") +
             " ESCAPE '!'");
    }
    if (filter.file) also("f.path LIKE " + parameters.add("%" + LikeEscaped(*filter.file) + "%") + " ESCAPE '!'");
    if (!filter.includeHidden) also("r.hidden = 0");
    return clause;
}

const char* kFrom = " FROM archived_readings r JOIN archived_files f ON f.id = r.file_id";

}  // namespace

int ArchivedClass(const Settings& settings, Mode mode, int deviceClass, double lValue, double seconds) {
    if (mode != Mode::Paint) return 2;
    if (settings.pcs != kPcsUser) return deviceClass;
    if (seconds < settings.minLtime) return 4;
    if (lValue >= settings.pos) return 1;
    if (lValue < settings.neg) return 2;
    return 3;
}

std::vector<FoundReading> FindReadings(Archive& archive, const ArchiveFilter& filter, const Settings& settings) {
    Parameters parameters;
    const Clause clause = BuildClause(filter, settings, parameters);
    std::string text = "SELECT f.id, f.path, f.site, r.reading_no, r.mode, r.qvno, r.taken, r.device_class,"
                       " r.l_value, r.seconds, r.hidden, r.annotations, r.fields";
    text += filter.element ? ", e.value, e.below_lod" : ", 0.0, 0";
    text += kFrom + clause.join + clause.where;
    FindOrder order = filter.order;
    if (order == FindOrder::Value && !filter.element) order = FindOrder::File;
    text += order == FindOrder::Date    ? " ORDER BY r.taken, f.path, r.reading_no"
          : order == FindOrder::Value   ? " ORDER BY e.value DESC, f.path, r.reading_no"
                                        : " ORDER BY f.path, r.reading_no";
    if (filter.limit) text += " LIMIT " + parameters.add(*filter.limit);

    std::vector<FoundReading> found;
    try {
        soci::statement statement(archive.session());
        FoundReading row;
        int number = 0, mode = 0, qvno = 0, deviceClass = 0, hidden = 0, below = 0;
        double lValue = 0, seconds = 0, value = 0;
        statement.exchange(soci::into(row.fileId));
        statement.exchange(soci::into(row.path));
        statement.exchange(soci::into(row.site));
        statement.exchange(soci::into(number));
        statement.exchange(soci::into(mode));
        statement.exchange(soci::into(qvno));
        statement.exchange(soci::into(row.taken));
        statement.exchange(soci::into(deviceClass));
        statement.exchange(soci::into(lValue));
        statement.exchange(soci::into(seconds));
        statement.exchange(soci::into(hidden));
        statement.exchange(soci::into(row.annotations));
        statement.exchange(soci::into(row.fields));
        statement.exchange(soci::into(value));
        statement.exchange(soci::into(below));
        parameters.bindTo(statement);
        archive_db::Prepare(statement, text);
        statement.execute(false);
        while (statement.fetch()) {
            FoundReading reading = row;
            reading.readingNumber = number;
            reading.mode = static_cast<Mode>(mode >= 0 && mode < kModeCount ? mode : 0);
            reading.instrumentNumber = qvno;
            reading.paintClass = reading.mode == Mode::Paint
                                     ? ArchivedClass(settings, Mode::Paint, deviceClass, lValue, seconds)
                                     : 0;
            reading.hidden = hidden != 0;
            if (filter.element) reading.elementValue = value;
            reading.belowDetection = below != 0;
            found.push_back(std::move(reading));
        }
    } catch (const std::exception& e) {
        archive_db::Fail(archive, "searching", e);
    }
    return found;
}

long long CountReadings(Archive& archive, const ArchiveFilter& filter, const Settings& settings) {
    Parameters parameters;
    const Clause clause = BuildClause(filter, settings, parameters);
    long long count = 0;
    try {
        soci::statement statement(archive.session());
        statement.exchange(soci::into(count));
        parameters.bindTo(statement);
        archive_db::Prepare(statement, std::string("SELECT count(*)") + kFrom + clause.join + clause.where);
        statement.execute(true);
    } catch (const std::exception& e) {
        archive_db::Fail(archive, "counting", e);
    }
    return count;
}

std::vector<CollectedReading> CollectRecords(Archive& archive, const std::vector<FoundReading>& found) {
    std::vector<CollectedReading> collected;
    try {
        soci::session& sql = archive.session();
        long long fileId = 0;
        int number = 0;
        std::string record;
        soci::statement statement = (sql.prepare << "SELECT record FROM archived_records"
                                                    " WHERE file_id = :f AND reading_no = :n",
                                     soci::into(record), soci::use(fileId), soci::use(number));
        std::string header;
        double version = 0;
        long long headerOf = 0;
        soci::statement fileStatement = (sql.prepare << "SELECT header, file_version FROM archived_files WHERE id = :f",
                                         soci::into(header), soci::into(version), soci::use(headerOf));
        for (const FoundReading& reading : found) {
            if (reading.fileId != headerOf || collected.empty()) {
                headerOf = reading.fileId;
                fileStatement.execute(true);
                header = archive.storedBytes(header);
            }
            fileId = reading.fileId;
            number = reading.readingNumber;
            statement.execute(true);
            collected.push_back({archive.storedBytes(record), header, version});
        }
    } catch (const ArchiveError&) {
        throw;
    } catch (const std::exception& e) {
        archive_db::Fail(archive, "reading records", e);
    }
    return collected;
}

std::vector<ArchivedFile> ListArchivedFiles(Archive& archive) {
    std::vector<ArchivedFile> files;
    try {
        ArchivedFile row;
        soci::statement statement = (archive.session().prepare
                                         << "SELECT id, path, content_hash, size, modified, site, file_version,"
                                            " reading_count FROM archived_files ORDER BY path",
                                     soci::into(row.id), soci::into(row.path), soci::into(row.hash),
                                     soci::into(row.size), soci::into(row.modified), soci::into(row.site),
                                     soci::into(row.fileVersion), soci::into(row.readings));
        statement.execute(false);
        while (statement.fetch()) files.push_back(row);
    } catch (const std::exception& e) {
        archive_db::Fail(archive, "listing files", e);
    }
    for (ArchivedFile& file : files) {
        struct stat info {};
        if (::stat(file.path.c_str(), &info) != 0) {
            file.state = ArchivedFile::State::Gone;
        } else if (info.st_size != file.size || static_cast<long long>(info.st_mtime) != file.modified) {
            std::vector<uint8_t> bytes;
            const bool read = ReadFileBytes(file.path, bytes, static_cast<size_t>(info.st_size) + 1) == FileStatus::Ok;
            const std::string content(bytes.begin(), bytes.end());
            if (!read || ContentHash(content) != file.hash) file.state = ArchivedFile::State::Changed;
        }
    }
    return files;
}

std::vector<std::string> RemoveFromArchive(Archive& archive, const std::vector<std::string>& paths) {
    std::vector<std::string> removed;
    try {
        soci::session& sql = archive.session();
        soci::transaction transaction(sql);
        for (const std::string& given : paths) {
            std::error_code error;
            std::string path = std::filesystem::absolute(given, error).lexically_normal().string();
            while (path.size() > 1 && path.back() == '/') path.pop_back();
            const std::string under = LikeEscaped(path + "/") + "%";
            std::string one;
            soci::statement select = (sql.prepare << "SELECT path FROM archived_files WHERE path = :p"
                                                     " OR path LIKE :u ESCAPE '!' ORDER BY path",
                                      soci::into(one), soci::use(path), soci::use(under));
            select.execute(false);
            std::vector<std::string> these;
            while (select.fetch()) these.push_back(one);
            for (const std::string& target : these) {
                sql << "DELETE FROM archived_elements WHERE file_id IN (SELECT id FROM archived_files WHERE path = :p)",
                    soci::use(target);
                for (const char* table : {"archived_readings", "archived_records"}) {
                    sql << std::string("DELETE FROM ") + table +
                               " WHERE file_id IN (SELECT id FROM archived_files WHERE path = :p)",
                        soci::use(target);
                }
                sql << "DELETE FROM archived_files WHERE path = :p", soci::use(target);
                removed.push_back(target);
            }
        }
        transaction.commit();
    } catch (const std::exception& e) {
        archive_db::Fail(archive, "removing files", e);
    }
    return removed;
}

std::vector<std::string> CheckArchive(Archive& archive) {
    std::vector<std::string> problems;
    try {
        soci::session& sql = archive.session();
        std::string path;
        int expected = 0;
        long long stored = 0;
        soci::statement counts = (sql.prepare << "SELECT f.path, f.reading_count, (SELECT count(*) FROM"
                                                 " archived_readings r WHERE r.file_id = f.id) FROM archived_files f"
                                                 " ORDER BY f.path",
                                  soci::into(path), soci::into(expected), soci::into(stored));
        counts.execute(false);
        while (counts.fetch()) {
            if (stored != expected) {
                problems.push_back(path + ": " + std::to_string(stored) + " readings stored, " +
                                   std::to_string(expected) + " expected");
            }
        }
        int number = 0, qvno = 0;
        std::string record;
        soci::statement records = (sql.prepare << "SELECT f.path, r.reading_no, r.qvno, b.record FROM"
                                                  " archived_readings r JOIN archived_files f ON f.id = r.file_id"
                                                  " JOIN archived_records b ON b.file_id = r.file_id"
                                                  " AND b.reading_no = r.reading_no"
                                                  " ORDER BY f.path, r.reading_no",
                                   soci::into(path), soci::into(number), soci::into(qvno), soci::into(record));
        records.execute(false);
        while (records.fetch()) {
            const std::string bytes = archive.storedBytes(record);
            const RecordView view(Bytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
            if (!view.hasHeader() || view.header().recordLength != bytes.size() ||
                view.header().instrumentNumber != qvno) {
                problems.push_back(path + ": reading " + std::to_string(number) + " does not match its record");
            }
        }
        long long orphans = 0;
        sql << "SELECT count(*) FROM archived_elements e WHERE NOT EXISTS (SELECT 1 FROM archived_readings r"
               " WHERE r.file_id = e.file_id AND r.reading_no = e.reading_no)",
            soci::into(orphans);
        if (orphans > 0) problems.push_back(std::to_string(orphans) + " element results belong to no reading");
    } catch (const ArchiveError&) {
        throw;
    } catch (const std::exception& e) {
        archive_db::Fail(archive, "checking", e);
    }
    return problems;
}

}  // namespace ravik
