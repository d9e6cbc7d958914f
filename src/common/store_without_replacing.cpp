#include "common/store_without_replacing.h"

#include <cerrno>
#include <cstdio>
#include <fstream>

#ifdef __linux__
#include <fcntl.h>
#endif

namespace tarvik {

namespace {

// Enough for every certificate of one pass made within one second.
constexpr int kMostNumberedNames = 1000;

std::error_code LastError() {
    return errno != 0 ? std::error_code(errno, std::generic_category())
                      : std::make_error_code(std::errc::io_error);
}

} // namespace

std::FILE* OpenNewFile(const std::filesystem::path& file, std::error_code& error) {
    errno = 0;
    std::FILE* opened = std::fopen(file.string().c_str(), "wbx"); // "x": create, never reuse
    if (!opened)
        error = LastError();
    return opened;
}

std::string TemporaryFileName(const std::string& fileName) {
    return "~" + fileName + ".tmp";
}

std::FILE* OpenNewTemporaryFile(const std::filesystem::path& folder, const std::string& fileName,
                                std::filesystem::path& temporary, std::error_code& error) {
    for (int n = 1; n <= kMostNumberedNames; ++n) {
        temporary = folder / TemporaryFileName(NumberedFileName(fileName, n));
        error.clear();
        if (std::FILE* opened = OpenNewFile(temporary, error))
            return opened;
        if (error != std::errc::file_exists)
            return nullptr;
    }
    return nullptr;
}

std::string NumberedFileName(const std::string& fileName, int n) {
    if (n <= 1)
        return fileName;
    const std::size_t dot = fileName.rfind('.');
    const std::size_t stemEnd = dot == std::string::npos || dot == 0 ? fileName.size() : dot;
    return fileName.substr(0, stemEnd) + " (" + std::to_string(n) + ")" + fileName.substr(stemEnd);
}

MoveOutcome MoveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                                 std::error_code& error) {
#ifdef __linux__
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return MoveOutcome::Moved;
    if (errno == EEXIST)
        return MoveOutcome::Taken;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        error = LastError();
        return MoveOutcome::Failed;
    }
#endif
    return CopyWithoutReplacing(from, to, error);
}

MoveOutcome CopyWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                                 std::error_code& error) {
    std::ifstream in(from, std::ios::binary);
    if (!in) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
        return MoveOutcome::Failed;
    }
    std::FILE* out = OpenNewFile(to, error);
    if (!out)
        return error == std::errc::file_exists ? MoveOutcome::Taken : MoveOutcome::Failed;
    errno = 0;
    char block[65536];
    bool written = true;
    while (written && in) {
        in.read(block, sizeof block);
        const auto got = static_cast<std::size_t>(in.gcount());
        written = std::fwrite(block, 1, got, out) == got;
    }
    written = written && !in.bad() && std::fflush(out) == 0;
    if (!written)
        error = LastError();
    if (std::fclose(out) != 0 && written) {
        written = false;
        error = LastError();
    }
    if (!written) {
        std::error_code ignored;
        std::filesystem::remove(to, ignored); // our own, incomplete copy
        return MoveOutcome::Failed;
    }
    std::error_code ignored;
    std::filesystem::remove(from, ignored);
    return MoveOutcome::Moved;
}

std::optional<std::filesystem::path> MoveToFreeName(const std::filesystem::path& from,
                                                    const std::filesystem::path& folder,
                                                    const std::string& fileName,
                                                    std::string& error) {
    for (int n = 1; n <= kMostNumberedNames; ++n) {
        const std::filesystem::path to = folder / NumberedFileName(fileName, n);
        std::error_code ec;
        switch (MoveWithoutReplacing(from, to, ec)) {
        case MoveOutcome::Moved:
            return to;
        case MoveOutcome::Taken:
            continue;
        case MoveOutcome::Failed:
            error = to.string() + ": " + ec.message();
            return std::nullopt;
        }
    }
    error = "no free name for " + (folder / fileName).string();
    return std::nullopt;
}

} // namespace tarvik
