#pragma once

#include "viewer/record_selection.h"

#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

// "MM/YY" selects a month, "DD/MM/YY" a day (the forms of the wire and the files); nothing when
// the text is neither or names no real month or day.
std::optional<RecordSelection> ParseMonthOption(std::string_view text);
std::optional<RecordSelection> ParseDayOption(std::string_view text);

// The selection back in its option form: "12/26" or "05/12/26"; "" for all records.
std::string SelectionOptionText(const RecordSelection& selection);

} // namespace tarvik
