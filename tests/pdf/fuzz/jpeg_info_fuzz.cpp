// libFuzzer target: any bytes given to the JPEG reader are either refused or give a picture
// whose size and colour space are usable, and nothing is read outside the bytes. One more
// fill byte before the first marker changes nothing.
#include "pdf/jpeg_info.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto reading = tarvik::pdf::ReadJpegInfo(bytes);
    const auto& info = reading.info;
    if (reading.problem == tarvik::pdf::JpegProblem::None &&
        (info.width <= 0 || info.height <= 0 || info.colourSpace.empty()))
        std::abort();
    if (size >= 250 && data[2] == 0xFF) {
        const auto padded =
            tarvik::pdf::ReadJpegInfo(bytes.substr(0, 2) + '\xFF' + bytes.substr(2));
        if (padded.problem != reading.problem || padded.info.width != info.width ||
            padded.info.height != info.height || padded.info.colourSpace != info.colourSpace ||
            padded.info.densityUnit != info.densityUnit || padded.badUnit != reading.badUnit)
            std::abort();
    }
    return 0;
}
