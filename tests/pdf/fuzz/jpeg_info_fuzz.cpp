// libFuzzer target: any bytes given to the JPEG reader are either refused or give a picture
// whose size and colour space are usable, and nothing is read outside the bytes.
#include "pdf/jpeg_info.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto reading = tarvik::pdf::ReadJpegInfo(bytes);
    if (reading.problem == tarvik::pdf::JpegProblem::None &&
        (reading.info.width <= 0 || reading.info.height <= 0 || reading.info.colourSpace.empty())) {
        std::abort();
    }
    return 0;
}
