// libFuzzer target: any bytes given to the JPEG reader are either refused or give a picture
// whose size and colour space are usable, and nothing is read outside the bytes. One more
// fill byte before the first marker changes nothing.
#include "pdf/jpeg_info.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool SameReading(const tarvik::pdf::JpegReading& a, const tarvik::pdf::JpegReading& b) {
    return a.problem == b.problem && a.badUnit == b.badUnit && a.info.width == b.info.width &&
           a.info.height == b.info.height && a.info.components == b.info.components &&
           a.info.colourSpace == b.info.colourSpace && a.info.densityUnit == b.info.densityUnit;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto reading = tarvik::pdf::ReadJpegInfo(bytes);
    if (reading.problem == tarvik::pdf::JpegProblem::None &&
        (reading.info.width <= 0 || reading.info.height <= 0 || reading.info.colourSpace.empty())) {
        std::abort();
    }
    if (size >= 250 && data[2] == 0xFF) {
        std::string padded(bytes);
        padded.insert(2, 1, '\xFF');
        if (!SameReading(reading, tarvik::pdf::ReadJpegInfo(padded))) {
            std::abort();
        }
    }
    return 0;
}
