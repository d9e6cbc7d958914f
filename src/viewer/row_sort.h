#pragma once

#include "viewer/sort_keys.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tarvik {

// Writes the text of one row's cell of the column being sorted into `out`.
using RowCellText = std::function<void(std::uint32_t row, std::string& out)>;

// Reorders `order` (the rows as shown, by row number) so that the rows' keys (SortKey of their
// cell texts) are in text order, ascending or descending. Rows with equal keys keep the order
// they had. The rows themselves are not touched, so every cell keeps its text.
void SortRowOrder(std::span<std::uint32_t> order, SortType type, bool descending,
                  const RowCellText& cellText);

// Reorders `order` by a number per row (keyOfRow of its row number), ascending or descending.
// Rows with equal keys keep the order they had. Keys are asked for once per row, in row-number
// order.
void SortRowOrderByNumber(std::span<std::uint32_t> order, bool descending,
                          const std::function<std::uint64_t(std::uint32_t row)>& keyOfRow);

// The direction shown in the column headers: at most one column shows "asc" or "desc".
class SortHeaderState {
public:
    enum class Image { None, Asc, Desc };

    // The first column starts with "asc": the rows come in file order, which is chronological.
    explicit SortHeaderState(int columnCount);

    Image ImageOf(int column) const { return images_.at(static_cast<std::size_t>(column)); }

    // A click on a header: descending when it showed "asc", otherwise ascending. The clicked
    // header then shows the direction and every other header none. Returns true for descending.
    bool Click(int column);

private:
    std::vector<Image> images_;
};

} // namespace tarvik
