// Adding readings files to the archive: each file in one transaction, so a
// killed add leaves the archive as it was before that file, and two adders
// never store a file twice.

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <deque>
#include <functional>
#include <memory>
#include <random>

#include "core/archive/archive.h"
#include "core/archive/archive_db.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "core/platform/text1252.h"
#include "core/readings/field_formatter.h"
#include "core/readings/readings_loader.h"
#include "core/readings/time_stamp.h"

namespace ravik {

namespace {

using archive_db::BytesParameter;

// A readings file holds at most 5100 records of at most 64 KiB and its trailer.
constexpr size_t kLargestReadingsFile = 5101u * 65536u + 65536u;
constexpr size_t kReadingsPerStatement = 50;
constexpr size_t kElementsPerStatement = 200;

// Keeps what a load tells instead of showing it.
class CollectingPrompter final : public Prompter {
public:
    Answer ask(const std::string& text, const std::string& caption, Buttons buttons, Icon) override {
        if (!messages.empty()) messages += "; ";
        messages += Cp1252ToUtf8(caption + ": " + text);
        for (char& c : messages) {
            if (c == '\r' || c == '\n') c = ' ';
        }
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    int choose(const ChoiceDialog&) override { return kCancelId; }
    std::string messages;
};

struct ReadingRow {
    long long fileId = 0;
    int number = 0;
    int mode = 0;
    int qvno = 0;
    std::string taken;
    int deviceClass = 0;
    double lValue = 0, lPrecision = 0, kValue = 0, kPrecision = 0, seconds = 0;
    int hidden = 0;
    std::string annotations, fields, record;
};

struct ElementRow {
    long long fileId = 0;
    int number = 0;
    std::string element;
    double value = 0, precision = 0;
    int belowDetection = 0;
};

// The instrument's own clock time, as ISO 8601 without a zone: its seconds
// count from 1994-01-01 00:00 of that clock, which runs an hour ahead of
// universal time (the tables show the same clock, with its 24th hour).
std::string IsoTime(uint32_t instrumentSeconds) {
    const time_t when = static_cast<time_t>(kInstrumentEpoch + 3600 + instrumentSeconds);
    std::tm parts{};
    gmtime_r(&when, &parts);
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", parts.tm_year + 1900, parts.tm_mon + 1,
                  parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return text;
}

std::string JoinCells(const ReadingFields& fields, int first, int last) {
    std::string joined;
    for (int cell = first; cell <= last; ++cell) {
        if (cell > first) joined += '\t';
        // A cell no field of the mode's layout fills keeps the formatter's "DEF<n>".
        const std::string_view text = fields.text[static_cast<size_t>(cell)].view();
        if (text != "DEF" + std::to_string(cell)) joined += text;
    }
    return Cp1252ToUtf8(joined);
}

// The lead values as the formatter takes them for the paint class.
double PaintValue(const RecordView& view, size_t index, bool precision) {
    if (index >= view.elementsAvailable()) return 0.0;
    const ElementEntry entry = view.element(index);
    const float tenth = static_cast<float>(PackedTenth(precision ? entry.precisionWord : entry.valueWord));
    return static_cast<float>(tenth / 1000.0);
}

int ClassIndexOf(std::string_view text) {
    if (text == "POS") return 1;
    if (text == "NEG") return 2;
    if (text == "INC") return 3;
    return 4;
}

// Every reading of the loaded store as rows: its fields through the
// formatter, with the file's titles naming the element columns.
void DeriveRows(const ReadingStore& store, std::vector<ReadingRow>& readings, std::vector<ElementRow>& elements) {
    Settings shown;  // the device's paint class; values below detection as "<LOD"
    Settings numbers;
    numbers.displayValuesBelowLod = true;  // every value as a number
    ReadingFields fields;
    ReadingFields valueFields;
    for (Mode mode : kAllModes) {
        const int fixed = FixedColumns(mode);
        for (int32_t number : store.list(mode)) {
            const Bytes record = store.record(number);
            const RecordView view(record);
            ReadingRow row;
            row.number = number;
            row.mode = Index(mode);
            row.qvno = view.hasHeader() ? view.header().instrumentNumber : 0;
            row.taken = IsoTime(view.timeStamp());
            row.hidden = (store.flags(number) & Hidden) != 0 ? 1 : 0;
            row.record.assign(reinterpret_cast<const char*>(record.data()), record.size());
            const bool formatted = FormatReadingFields(store, shown, number, record, fields) &&
                                   FormatReadingFields(store, numbers, number, record, valueFields);
            if (formatted) {
                row.annotations = JoinCells(fields, 2, 12);
                row.fields = JoinCells(fields, 13, fixed - 1);
                row.seconds = ReadNumber(fields.text[13].view());
                if (mode == Mode::Paint) {
                    row.deviceClass = ClassIndexOf(fields.text[17].view());
                    row.lValue = PaintValue(view, 0, false);
                    row.lPrecision = PaintValue(view, 0, true);
                    row.kValue = PaintValue(view, 1, false);
                    row.kPrecision = PaintValue(view, 1, true);
                }
                for (int column = 0; column < ElementColumns(mode); ++column) {
                    const std::string_view value = valueFields.value[static_cast<size_t>(column)].view();
                    if (value == "NA" || value.empty()) continue;
                    std::string_view title = store.titles[mode][static_cast<size_t>(fixed + column)].view();
                    title = title.substr(0, title.find(' '));
                    ElementRow element;
                    element.fileId = 0;
                    element.number = number;
                    element.element = Cp1252ToUtf8(title);
                    element.value = value == ">>5.0" ? row.lValue : ReadNumber(value);
                    element.precision = ReadNumber(valueFields.precision[static_cast<size_t>(column)].view());
                    element.belowDetection = fields.value[static_cast<size_t>(column)].view() == "<LOD" ? 1 : 0;
                    elements.push_back(std::move(element));
                }
            }
            readings.push_back(std::move(row));
        }
    }
    std::sort(readings.begin(), readings.end(), [](const ReadingRow& a, const ReadingRow& b) { return a.number < b.number; });
}

std::string RowsText(const char* head, size_t rows, size_t columns) {
    std::string text = head;
    size_t parameter = 0;
    for (size_t r = 0; r < rows; ++r) {
        text += r == 0 ? " VALUES (" : ", (";
        for (size_t c = 0; c < columns; ++c) {
            if (c > 0) text += ", ";
            text += ":v" + std::to_string(parameter++);
        }
        text += ")";
    }
    return text;
}

// Multi-row inserts of readings: one prepared statement per batch size,
// bound once to a batch of rows that is refilled for each execution.
class ReadingInserter {
public:
    ReadingInserter(Archive& archive, size_t rows)
        : rows_(rows), statement_(archive.session()), records_(archive.session()) {
        batch_.resize(rows);
        for (size_t i = 0; i < rows; ++i) bytes_.emplace_back(archive);
        for (size_t i = 0; i < rows; ++i) {
            ReadingRow& row = batch_[i];
            statement_.exchange(soci::use(row.fileId));
            statement_.exchange(soci::use(row.number));
            statement_.exchange(soci::use(row.mode));
            statement_.exchange(soci::use(row.qvno));
            statement_.exchange(soci::use(row.taken));
            statement_.exchange(soci::use(row.deviceClass));
            statement_.exchange(soci::use(row.lValue));
            statement_.exchange(soci::use(row.lPrecision));
            statement_.exchange(soci::use(row.kValue));
            statement_.exchange(soci::use(row.kPrecision));
            statement_.exchange(soci::use(row.seconds));
            statement_.exchange(soci::use(row.hidden));
            statement_.exchange(soci::use(row.annotations));
            statement_.exchange(soci::use(row.fields));
            records_.exchange(soci::use(row.fileId));
            records_.exchange(soci::use(row.number));
            bytes_[i].bindTo(records_);
        }
        archive_db::Prepare(statement_, RowsText("INSERT INTO archived_readings (file_id, reading_no, mode, qvno,"
                                                 " taken, device_class, l_value, l_prec, k_value, k_prec, seconds,"
                                                 " hidden, annotations, fields)",
                                                 rows, 14));
        archive_db::Prepare(records_, RowsText("INSERT INTO archived_records (file_id, reading_no, record)", rows, 3));
    }
    void insert(const ReadingRow* rows) {
        for (size_t i = 0; i < rows_; ++i) {
            ReadingRow& target = batch_[i];
            target.fileId = rows[i].fileId;
            target.number = rows[i].number;
            target.mode = rows[i].mode;
            target.qvno = rows[i].qvno;
            target.taken = rows[i].taken;
            target.deviceClass = rows[i].deviceClass;
            target.lValue = rows[i].lValue;
            target.lPrecision = rows[i].lPrecision;
            target.kValue = rows[i].kValue;
            target.kPrecision = rows[i].kPrecision;
            target.seconds = rows[i].seconds;
            target.hidden = rows[i].hidden;
            target.annotations = rows[i].annotations;
            target.fields = rows[i].fields;
            bytes_[i].set(rows[i].record);
        }
        statement_.execute(true);
        records_.execute(true);
    }

private:
    size_t rows_;
    soci::statement statement_;
    soci::statement records_;
    std::vector<ReadingRow> batch_;
    std::deque<BytesParameter> bytes_;
};

class ElementInserter {
public:
    ElementInserter(Archive& archive, size_t rows) : rows_(rows), statement_(archive.session()) {
        batch_.resize(rows);
        for (ElementRow& row : batch_) {
            statement_.exchange(soci::use(row.fileId));
            statement_.exchange(soci::use(row.number));
            statement_.exchange(soci::use(row.element));
            statement_.exchange(soci::use(row.value));
            statement_.exchange(soci::use(row.precision));
            statement_.exchange(soci::use(row.belowDetection));
        }
        archive_db::Prepare(statement_, RowsText("INSERT INTO archived_elements (file_id, reading_no, element,"
                                                 " value, prec, below_lod)",
                                                 rows, 6));
    }
    void insert(const ElementRow* rows) {
        std::copy(rows, rows + rows_, batch_.begin());
        statement_.execute(true);
    }

private:
    size_t rows_;
    soci::statement statement_;
    std::vector<ElementRow> batch_;
};

// A random id, drawn afresh each time: adders that are copies of one
// process (forked) must not draw the same ids.
long long NewFileId() {
    std::random_device device;
    const uint64_t high = device(), low = device();
    return static_cast<long long>(((high << 32) | low) >> 2) + 1;
}

struct FileFacts {
    std::string path;
    std::string hash;
    long long size = 0;
    long long modified = 0;
};

// What is archived for this path or this content: the path's stored hash,
// and another path that holds the same content.
struct Known {
    std::string pathHash;
    std::string samePath;
};

Known LookUp(Archive& archive, const FileFacts& facts) {
    Known known;
    soci::indicator indicator = soci::i_null;
    archive.session() << "SELECT content_hash FROM archived_files WHERE path = :p", soci::use(facts.path),
        soci::into(known.pathHash, indicator);
    if (indicator != soci::i_ok) known.pathHash.clear();
    std::string other;
    soci::indicator otherIndicator = soci::i_null;
    archive.session() << "SELECT min(path) FROM archived_files WHERE content_hash = :h", soci::use(facts.hash),
        soci::into(other, otherIndicator);
    if (otherIndicator == soci::i_ok) known.samePath = other;
    return known;
}

void DeleteFile(Archive& archive, const std::string& path) {
    // A write comes first in the transaction, so that a waiting SQLite writer
    // waits here, inside its bounded wait, rather than failing on an upgrade.
    archive.session() << "DELETE FROM archived_elements WHERE file_id IN"
                         " (SELECT id FROM archived_files WHERE path = :p)",
        soci::use(path);
    for (const char* table : {"archived_readings", "archived_records"}) {
        archive.session() << std::string("DELETE FROM ") + table +
                                 " WHERE file_id IN (SELECT id FROM archived_files WHERE path = :p)",
            soci::use(path);
    }
    archive.session() << "DELETE FROM archived_files WHERE path = :p", soci::use(path);
}

void StoreFile(Archive& archive, const FileFacts& facts, const ReadingStore& store, bool damaged,
               std::vector<ReadingRow>& readings, std::vector<ElementRow>& elements,
               const std::function<void(int)>& stored) {
    soci::session& sql = archive.session();
    soci::transaction transaction(sql);
    DeleteFile(archive, facts.path);
    const long long id = NewFileId();
    std::string headerLines;
    for (const std::string& line : HeaderLines(store.fileHeader.data())) headerLines += line + "\n";
    headerLines = Cp1252ToUtf8(headerLines);
    const std::string header(store.fileHeader.data(), kFileHeaderSize);
    BytesParameter headerBytes(archive);
    headerBytes.set(header);
    const std::string site = Cp1252ToUtf8(store.site);
    const std::string siteKey = archive_db::LowerAscii(site);
    const std::string title = Cp1252ToUtf8(store.fileTitle);
    const double version = store.fileVersion;
    const int count = static_cast<int>(readings.size());
    const int damagedFlag = damaged ? 1 : 0;
    {
        soci::statement statement(sql);
        statement.exchange(soci::use(id));
        statement.exchange(soci::use(facts.path));
        statement.exchange(soci::use(facts.hash));
        statement.exchange(soci::use(facts.size));
        statement.exchange(soci::use(facts.modified));
        statement.exchange(soci::use(headerLines));
        headerBytes.bindTo(statement);
        statement.exchange(soci::use(site));
        statement.exchange(soci::use(siteKey));
        statement.exchange(soci::use(title));
        statement.exchange(soci::use(version));
        statement.exchange(soci::use(count));
        statement.exchange(soci::use(damagedFlag));
        archive_db::Prepare(statement, RowsText("INSERT INTO archived_files (id, path, content_hash, size, modified,"
                                                " header_lines, header, site, site_key, title, file_version,"
                                                " reading_count, damaged)",
                                                1, 13));
        statement.execute(true);
    }
    for (ReadingRow& row : readings) row.fileId = id;
    for (ElementRow& row : elements) row.fileId = id;
    {
        std::unique_ptr<ReadingInserter> full;
        size_t done = 0;
        while (done < readings.size()) {
            const size_t left = readings.size() - done;
            if (left >= kReadingsPerStatement) {
                if (!full) full = std::make_unique<ReadingInserter>(archive, kReadingsPerStatement);
                full->insert(&readings[done]);
                done += kReadingsPerStatement;
            } else {
                ReadingInserter(archive, left).insert(&readings[done]);
                done += left;
            }
            if (stored) stored(static_cast<int>(done));
        }
    }
    {
        std::unique_ptr<ElementInserter> full;
        size_t done = 0;
        while (done < elements.size()) {
            const size_t left = elements.size() - done;
            if (left >= kElementsPerStatement) {
                if (!full) full = std::make_unique<ElementInserter>(archive, kElementsPerStatement);
                full->insert(&elements[done]);
                done += kElementsPerStatement;
            } else {
                ElementInserter(archive, left).insert(&elements[done]);
                done += left;
            }
        }
    }
    transaction.commit();
}

AddReport AddOne(Archive& archive, const std::string& given, const std::function<void(int)>& stored) {
    AddReport report;
    std::error_code error;
    FileFacts facts;
    facts.path = std::filesystem::absolute(given, error).lexically_normal().string();
    report.path = facts.path;
    std::vector<uint8_t> bytes;
    const FileStatus status = ReadFileBytes(facts.path, bytes, kLargestReadingsFile);
    if (status != FileStatus::Ok) {
        report.message = status == FileStatus::TooLarge ? "too large for a readings file"
                       : status == FileStatus::NotRegularFile ? "not a regular file"
                                                              : "cannot be read";
        return report;
    }
    struct stat info {};
    if (::stat(facts.path.c_str(), &info) == 0) facts.modified = static_cast<long long>(info.st_mtime);
    facts.size = static_cast<long long>(bytes.size());
    const std::string content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    facts.hash = ContentHash(content);

    ReadingStore store;
    CollectingPrompter prompter;
    const LoadOutcome outcome = LoadReadingsBytes(store, bytes, facts.path, kOpenCommand, prompter);
    if (outcome != LoadOutcome::Whole && outcome != LoadOutcome::Damaged) {
        report.message = prompter.messages.empty() ? "not a readings file" : prompter.messages;
        return report;
    }
    std::vector<ReadingRow> readings;
    std::vector<ElementRow> elements;
    DeriveRows(store, readings, elements);

    for (int attempt = 0;; ++attempt) {
        try {
            const Known known = LookUp(archive, facts);
            if (known.pathHash == facts.hash || !known.samePath.empty()) {
                report.result = AddResult::Unchanged;
                if (known.pathHash != facts.hash) report.message = "the same content is archived as " + known.samePath;
                return report;
            }
            StoreFile(archive, facts, store, outcome == LoadOutcome::Damaged, readings, elements, stored);
            report.readings = static_cast<int>(readings.size());
            report.result = outcome == LoadOutcome::Damaged ? AddResult::Damaged
                          : known.pathHash.empty()          ? AddResult::Added
                                                            : AddResult::Replaced;
            if (outcome == LoadOutcome::Damaged) report.message = prompter.messages;
            return report;
        } catch (const std::exception& e) {
            // Another adder stored the same file first: look again.
            if (attempt < 3 && archive_db::IsUniqueClash(e)) continue;
            archive_db::Fail(archive, "adding " + facts.path, e);
        }
    }
}

bool LooksLikeReadingsFile(const std::filesystem::path& path) {
    std::string extension = archive_db::LowerAscii(path.extension().string());
    return extension == ".qvr" || extension == ".lck";
}

}  // namespace

std::string ContentHash(const std::string& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char text[40];
    std::snprintf(text, sizeof text, "%016llx-%zx", static_cast<unsigned long long>(hash), bytes.size());
    return text;
}

std::vector<std::string> ExpandArchivePaths(const std::vector<std::string>& paths, std::vector<std::string>& missing) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    for (const std::string& given : paths) {
        std::error_code error;
        if (fs::is_directory(given, error)) {
            std::vector<std::string> found;
            for (fs::recursive_directory_iterator it(given, fs::directory_options::skip_permission_denied, error), end;
                 !error && it != end; it.increment(error)) {
                if (it->is_regular_file(error) && LooksLikeReadingsFile(it->path())) found.push_back(it->path().string());
            }
            std::sort(found.begin(), found.end());
            files.insert(files.end(), found.begin(), found.end());
        } else if (fs::exists(given, error)) {
            files.push_back(given);
        } else {
            missing.push_back(given);
        }
    }
    return files;
}

std::vector<AddReport> AddToArchive(Archive& archive, const std::vector<std::string>& files,
                                    const std::function<void(const AddProgress&)>& progress) {
    std::vector<AddReport> reports;
    for (size_t i = 0; i < files.size(); ++i) {
        AddProgress step{i, files.size(), 0};
        if (progress) progress(step);
        reports.push_back(AddOne(archive, files[i], [&](int stored) {
            step.readingsStored = stored;
            if (progress) progress(step);
        }));
    }
    return reports;
}

}  // namespace ravik
