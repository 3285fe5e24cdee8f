#include "core/output/export_sink.h"

namespace ravik {

ExportSink::ExportSink(StagedFile& file) : out_(buffer_), file_(&file) { buffer_.reserve(kBufferSize); }

void ExportSink::expect(size_t bytes) {
    if (file_ == nullptr) out_.reserve(out_.size() + bytes);
}

void ExportSink::flush() {
    if (status_ == FileStatus::Ok && !out_.empty()) status_ = file_->append(out_);
    out_.clear();
}

// The buffer is full: it goes to the file, and bytes wait in it in turn, or
// go straight to the file when they alone would fill it.
void ExportSink::spill(std::string_view bytes) {
    flush();
    if (bytes.size() <= kBufferSize) {
        out_.append(bytes);
    } else if (status_ == FileStatus::Ok) {
        status_ = file_->append(bytes);
    }
}

FileStatus ExportSink::finish() {
    if (file_ == nullptr) return status_;
    flush();
    if (status_ == FileStatus::Ok) status_ = file_->finish();
    return status_;
}

}  // namespace ravik
