#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace tarvik {

// Creates `file` and opens it for writing, only when nothing exists at that name: a file
// already there is never truncated. Nothing (with `error`) when it could not be created.
std::FILE* OpenNewFile(const std::filesystem::path& file, std::error_code& error);

// The name a document is written under, beside its own, until it is whole: "~name.pdf.tmp".
std::string TemporaryFileName(const std::string& fileName);

// Creates and opens the first free temporary name for `fileName` in `folder` ("~name.pdf.tmp",
// then "~name (2).pdf.tmp", ...), so that one left by a crash or being written by another
// process is neither touched nor in the way. Nothing (with `error`) when none could be created.
std::FILE* OpenNewTemporaryFile(const std::filesystem::path& folder, const std::string& fileName,
                                std::filesystem::path& temporary, std::error_code& error);

// "name.pdf" for n = 1, "name (2).pdf", "name (3).pdf", ... after it: the n-th name to try.
std::string NumberedFileName(const std::string& fileName, int n);

enum class MoveOutcome {
    Moved, // `from` is now at `to`
    Taken, // something is already at `to`: it was left alone, and `from` too
    Failed // `from` is where it was; `error` says why
};

// Moves the file `from` to `to` (same folder or file system) unless something exists at
// `to`, which is never replaced, not even by a writer racing with us.
MoveOutcome MoveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                                 std::error_code& error);

// The same by copying into a file created exclusively, then removing `from`: for file
// systems that cannot rename without replacing.
MoveOutcome CopyWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                                 std::error_code& error);

// Moves `from` into `folder` as `fileName`, or as the first numbered name that is free.
// The path it got, or nothing (with `error`) when it stayed where it was.
std::optional<std::filesystem::path> MoveToFreeName(const std::filesystem::path& from,
                                                    const std::filesystem::path& folder,
                                                    const std::string& fileName,
                                                    std::string& error);

} // namespace tarvik
