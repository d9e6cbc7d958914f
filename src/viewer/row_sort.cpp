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

// A row's key and its place in the present order: sorting by both keeps equal keys in their
// present order.
struct KeyedRow {
    std::uint64_t key;
    std::uint32_t place;
    std::uint32_t row;
};

// When the keys already run in the wanted direction the order stays; when they run the other
// way, the runs of equal keys are taken from the end, each kept in its present order. Both are
// one pass; a table in file order is in date order, so this is the common case. False when
// the keys are in neither order.
bool TakeMonotonicOrder(std::vector<std::uint32_t>& order, const std::vector<KeyedRow>& keyed,
                        bool descending) {
    const auto runs = [&](auto before) {
        for (std::size_t i = 1; i < keyed.size(); ++i)
            if (before(keyed[i].key, keyed[i - 1].key))
                return false;
        return true;
    };
    const bool ascendingNow = runs(std::less<>());
    const bool descendingNow = !ascendingNow && runs(std::greater<>());
    if (!ascendingNow && !descendingNow)
        return false;
    if (ascendingNow == !descending)
        return true;
    std::size_t end = keyed.size();
    std::size_t out = 0;
    while (end > 0) {
        std::size_t start = end - 1;
        while (start > 0 && keyed[start - 1].key == keyed[end - 1].key)
            --start;
        for (std::size_t i = start; i < end; ++i)
            order[out++] = keyed[i].row;
        end = start;
    }
    return true;
}

} // namespace

void SortRowOrderByNumber(std::vector<std::uint32_t>& order, bool descending,
                          const std::function<std::uint64_t(std::uint32_t row)>& keyOfRow) {
    std::vector<KeyedRow> keyed(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        keyed[i] = {keyOfRow(order[i]), static_cast<std::uint32_t>(i), order[i]};
    if (TakeMonotonicOrder(order, keyed, descending))
        return;
    if (descending)
        std::sort(keyed.begin(), keyed.end(), [](const KeyedRow& a, const KeyedRow& b) {
            return a.key != b.key ? a.key > b.key : a.place < b.place;
        });
    else
        std::sort(keyed.begin(), keyed.end(), [](const KeyedRow& a, const KeyedRow& b) {
            return a.key != b.key ? a.key < b.key : a.place < b.place;
        });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        order[i] = keyed[i].row;
}

void SortRowOrder(std::vector<std::uint32_t>& order, SortType type, bool descending,
                  const RowCellText& cellText) {
    std::uint32_t rowCount = 0;
    for (std::uint32_t row : order)
        rowCount = std::max(rowCount, row + 1);
    if (type == SortType::Date) {
        // A date key is empty or fourteen digits, so its text order is its number's order.
        std::string text;
        SortRowOrderByNumber(order, descending, [&](std::uint32_t row) {
            cellText(row, text);
            return DateKeyNumber(text);
        });
        return;
    }
    const std::vector<std::uint64_t> rank = RankDistinctTexts(rowCount, type, cellText);
    SortRowOrderByNumber(order, descending, [&](std::uint32_t row) { return rank[row]; });
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
