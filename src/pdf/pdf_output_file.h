#pragma once

#include <filesystem>
#include <fstream>
#include <string_view>

namespace tarvik::pdf {

// The document file, written as raw bytes, counting every byte so that the cross-reference
// table names real offsets. Without a file every write is a harmless no-op.
class PdfOutputFile {
public:
    // Creates (or replaces) the file; false when it cannot be created.
    bool Create(const std::filesystem::path& file);
    void Write(std::string_view bytes);
    // Bytes written so far: the offset of the next write.
    size_t Offset() const { return offset_; }
    // Closes the file; true when it was created and every write reached it.
    bool Close();
    bool IsOpen() const { return stream_.is_open(); }

private:
    std::ofstream stream_;
    size_t offset_ = 0;
    bool failed_ = false;
};

} // namespace tarvik::pdf
