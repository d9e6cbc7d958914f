// libFuzzer target: any text given to the metrics reader yields a width table, and summing
// any text over it stays within the widths' bounds.
#include "pdf/afm_metrics.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const auto widths = tarvik::pdf::ParseAfmWidths(content);
    const long long sum = tarvik::pdf::SumWidths(widths, content);
    const long long bound = 1000000LL * static_cast<long long>(size);
    if (sum > bound || sum < -bound || widths.byCode[0] != 0) {
        std::abort();
    }
    return 0;
}
