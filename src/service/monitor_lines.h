#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace tarvik {

// The live monitor's six lines, newest first: each received chunk enters at line 0 and
// pushes the others down; the oldest drops out of line 5.
class MonitorLines {
public:
    static constexpr std::size_t kCount = 6;
    using Lines = std::array<std::string, kCount>;

    void Push(std::string chunk) {
        for (std::size_t i = kCount - 1; i > 0; --i)
            lines_[i] = std::move(lines_[i - 1]);
        lines_[0] = std::move(chunk);
    }

    const Lines& lines() const { return lines_; }

private:
    Lines lines_;
};

} // namespace tarvik
