#include "pdf/pdf_output_file.h"

namespace tarvik::pdf {

bool PdfOutputFile::Create(const std::filesystem::path& file) {
    if (stream_.is_open()) {
        stream_.close();
    }
    offset_ = 0;
    failed_ = false;
    stream_.open(file, std::ios::binary | std::ios::trunc);
    return stream_.is_open();
}

void PdfOutputFile::Write(std::string_view bytes) {
    if (!stream_.is_open()) {
        return;
    }
    stream_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!stream_) {
        failed_ = true;
    }
    offset_ += bytes.size();
}

bool PdfOutputFile::Close() {
    if (!stream_.is_open()) {
        return false;
    }
    stream_.close();
    const bool ok = !failed_ && !stream_.fail();
    failed_ = false;
    return ok;
}

} // namespace tarvik::pdf
