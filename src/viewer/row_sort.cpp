#include "viewer/row_sort.h"

#include "viewer/large_allocator.h"

#include <algorithm>
#include <array>
#include <bit>
#include <numeric>
#include <unordered_map>
#include <utility>

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
LargeVector<std::uint32_t> RankDistinctTexts(std::size_t rowCount, SortType type,
                                             const RowCellText& cellText) {
    std::unordered_map<std::string, std::uint32_t> textIds;
    std::vector<std::string> distinctKeys;
    LargeVector<std::uint32_t> idOfRow(rowCount);
    std::string text;
    for (std::uint32_t row = 0; row < rowCount; ++row) {
        cellText(row, text);
        auto [it, added] = textIds.try_emplace(text, static_cast<std::uint32_t>(textIds.size()));
        if (added)
            distinctKeys.push_back(SortKey(type, text));
        idOfRow[row] = it->second;
    }
    const std::vector<std::uint32_t> rankOfId = RanksFromKeys(distinctKeys);
    for (std::uint32_t& id : idOfRow)
        id = rankOfId[id];
    return idOfRow;
}

struct KeyedRow {
    std::uint64_t key;
    std::uint32_t row;
};
using KeyedRows = LargeVector<KeyedRow>;

// When the keys already run in the wanted direction the order stays; when they run the other
// way, the runs of equal keys are taken from the end, each kept in its present order. Both are
// one pass; a table in file order is in date order, so this is the common case. False when
// the keys are in neither order.
bool TakeMonotonicOrder(std::span<std::uint32_t> order, const KeyedRows& keyed, bool descending) {
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

// A stable sort by key, ascending: least significant digits first, eleven bits a pass, and only
// over the bits in which the keys differ (a year of dates differs in about 34). Each pass is two
// sequential sweeps, so a million shuffled rows sort in a few passes instead of twenty rounds
// of comparisons.
void StableRadixSort(KeyedRows& keyed) {
    if (keyed.size() < 2)
        return;
    const auto [low, high] =
        std::minmax_element(keyed.begin(), keyed.end(),
                            [](const KeyedRow& a, const KeyedRow& b) { return a.key < b.key; });
    const std::uint64_t min = low->key;
    const int bits = std::bit_width(high->key - min);
    for (KeyedRow& k : keyed)
        k.key -= min;
    constexpr int kDigitBits = 11;
    constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
    KeyedRows scratch(keyed.size());
    for (int shift = 0; shift < bits; shift += kDigitBits) {
        std::array<std::size_t, kBuckets> start{};
        for (const KeyedRow& k : keyed)
            ++start[(k.key >> shift) & (kBuckets - 1)];
        std::size_t sum = 0;
        for (std::size_t& count : start)
            sum += std::exchange(count, sum);
        for (const KeyedRow& k : keyed)
            scratch[start[(k.key >> shift) & (kBuckets - 1)]++] = k;
        keyed.swap(scratch);
    }
}

// The rows are numbered 0 to the largest number in `order`.
std::uint32_t RowCount(std::span<const std::uint32_t> order) {
    std::uint32_t rowCount = 0;
    for (std::uint32_t row : order)
        rowCount = std::max(rowCount, row + 1);
    return rowCount;
}

// Sorts `order` by keyOfRow[row]. The keys were worked out in row-number order, which is the
// order the records lie in memory; here they are only picked up in the shown order. (Reading
// the records themselves in a shuffled order costs a cache miss each.)
template <typename Keys>
void SortByKeys(std::span<std::uint32_t> order, bool descending, const Keys& keyOfRow) {
    KeyedRows keyed(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        keyed[i] = {keyOfRow[order[i]], order[i]};
    if (TakeMonotonicOrder(order, keyed, descending))
        return;
    // Descending is ascending by the complement: equal keys still keep their present order.
    if (descending)
        for (KeyedRow& k : keyed)
            k.key = ~k.key;
    StableRadixSort(keyed);
    for (std::size_t i = 0; i < keyed.size(); ++i)
        order[i] = keyed[i].row;
}

} // namespace

void SortRowOrderByNumber(std::span<std::uint32_t> order, bool descending,
                          const std::function<std::uint64_t(std::uint32_t row)>& keyOfRow) {
    LargeVector<std::uint64_t> keys(RowCount(order));
    for (std::uint32_t row = 0; row < keys.size(); ++row)
        keys[row] = keyOfRow(row);
    SortByKeys(order, descending, keys);
}

void SortRowOrder(std::span<std::uint32_t> order, SortType type, bool descending,
                  const RowCellText& cellText) {
    if (type == SortType::Date) {
        // A date key is empty or fourteen digits, so its text order is its number's order.
        std::string text;
        SortRowOrderByNumber(order, descending, [&](std::uint32_t row) {
            cellText(row, text);
            return DateKeyNumber(text);
        });
        return;
    }
    SortByKeys(order, descending, RankDistinctTexts(RowCount(order), type, cellText));
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
