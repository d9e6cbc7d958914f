#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvik {

// An output file that appears under its name only once it is complete and replaces an older
// one of that name in one step. Until Commit it has no name of its own where the system allows
// it (an unnamed file in the target's folder), so nothing half-written is left behind, not even
// when the program is killed; elsewhere it is written beside the target and removed on failure.
class CompleteOutputFile {
public:
    CompleteOutputFile() = default;
    ~CompleteOutputFile();
    CompleteOutputFile(const CompleteOutputFile&) = delete;
    CompleteOutputFile& operator=(const CompleteOutputFile&) = delete;

    // False with the reason when the file cannot be created.
    bool Open(const std::filesystem::path& target, std::string& error);

    // Writes everything or reports false; later writes then do nothing.
    bool Write(std::string_view bytes);

    // Gives the written file its name. False with the reason; nothing is left then.
    bool Commit(std::string& error);

private:
    void Discard();

    int fd_ = -1;
    bool failed_ = false;
    std::string writeError_;
    std::filesystem::path target_;
    std::filesystem::path named_; // the partial name, when the file had to have one
};

} // namespace tarvik
