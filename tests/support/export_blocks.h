#pragma once
// What each export writer gives for a source: the blocks an export file is
// made of, to compare a written file with.

#include <string>

#include "core/output/export_writers.h"

namespace ravik::test {

inline std::string HeaderBlock(const ExportSource& source, int modes) {
    std::string out;
    ExportSink sink(out);
    ExportTableHeader(sink, source, modes);
    return out;
}
inline std::string RowsBlock(const ExportSource& source, Mode mode) {
    std::string out;
    ExportSink sink(out);
    ExportTableRows(sink, source, mode);
    return out;
}
inline std::string SpectraBlock(const ExportSource& source, Mode mode) {
    std::string out;
    ExportSink sink(out);
    ExportSpectra(sink, source, mode);
    return out;
}
inline std::string StatusBlock(const ExportSource& source) {
    std::string out;
    ExportSink sink(out);
    ExportStatus(sink, source);
    return out;
}
// The header and the rows of one mode, as a single table file holds them.
inline std::string TableBlocks(const ExportSource& source, Mode mode) {
    return HeaderBlock(source, Index(mode)) + RowsBlock(source, mode);
}

}  // namespace ravik::test
