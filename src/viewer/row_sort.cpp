#include "viewer/row_sort.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace tarvik {

namespace {

// rank[row] orders the rows as their keys do; equal keys share a rank.
std::vector<std::uint32_t> RanksFromKeys(const std::vector<std::string>& keys) {
    std::vector<std::uint32_t> byKey(keys.size());
    std::iota(byKey.begin(), byKey.end(), 0u);
    std::sort(byKey.begin(), byKey.end(), [&](std::uint32_t a, std::uint32_t b) {
        return CompareAsText(keys[a], keys[b]) < 0;
    });
    std::vector<std::uint32_t> rank(keys.size());
    std::uint32_t current = 0;
    for (std::size_t i = 0; i < byKey.size(); ++i) {
        if (i > 0 && CompareAsText(keys[byKey[i - 1]], keys[byKey[i]]) != 0)
            ++current;
        rank[byKey[i]] = current;
    }
    return rank;
}

// Ranks of date cells, which are mostly distinct. A date key is empty or fourteen digits, so
// its text order is the order of its number (0 for empty, below every date): no key text is
// kept per row.
std::vector<std::uint64_t> RankDates(std::size_t rowCount, const RowCellText& cellText) {
    std::vector<std::uint64_t> rank(rowCount);
    std::string text;
    for (std::uint32_t row = 0; row < rowCount; ++row) {
        cellText(row, text);
        std::uint64_t number = 0;
        for (char digit : DateKey(text))
            number = number * 10 + static_cast<std::uint64_t>(digit - '0');
        rank[row] = number;
    }
    return rank;
}

// Ranks of rows whose cells repeat a few texts (words, depths, letters): each distinct text is
// keyed once, so the long number keys are never held per row.
std::vector<std::uint64_t> RankDistinctTexts(std::size_t rowCount, SortType type,
                                             const RowCellText& cellText) {
    std::unordered_map<std::string, std::uint32_t> textIds;
    std::vector<std::string> distinctKeys;
    std::vector<std::uint32_t> idOfRow(rowCount);
    std::string text;
    for (std::uint32_t row = 0; row < rowCount; ++row) {
        cellText(row, text);
        auto [it, added] = textIds.try_emplace(text, static_cast<std::uint32_t>(textIds.size()));
        if (added)
            distinctKeys.push_back(SortKey(type, text));
        idOfRow[row] = it->second;
    }
    const std::vector<std::uint32_t> rankOfId = RanksFromKeys(distinctKeys);
    std::vector<std::uint64_t> rank(rowCount);
    for (std::size_t row = 0; row < rowCount; ++row)
        rank[row] = rankOfId[idOfRow[row]];
    return rank;
}

} // namespace

void SortRowOrder(std::vector<std::uint32_t>& order, SortType type, bool descending,
                  const RowCellText& cellText) {
    std::uint32_t rowCount = 0;
    for (std::uint32_t row : order)
        rowCount = std::max(rowCount, row + 1);
    const std::vector<std::uint64_t> rank = type == SortType::Date
                                                ? RankDates(rowCount, cellText)
                                                : RankDistinctTexts(rowCount, type, cellText);
    if (descending)
        std::stable_sort(order.begin(), order.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return rank[a] > rank[b]; });
    else
        std::stable_sort(order.begin(), order.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return rank[a] < rank[b]; });
}

SortHeaderState::SortHeaderState(int columnCount)
    : images_(static_cast<std::size_t>(std::max(columnCount, 1)), Image::None) {
    images_[0] = Image::Asc;
}

bool SortHeaderState::Click(int column) {
    const bool descending = ImageOf(column) == Image::Asc;
    std::fill(images_.begin(), images_.end(), Image::None);
    images_.at(static_cast<std::size_t>(column)) = descending ? Image::Desc : Image::Asc;
    return descending;
}

} // namespace tarvik
