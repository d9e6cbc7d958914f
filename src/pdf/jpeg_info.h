#pragma once

#include <string>
#include <string_view>

namespace tarvik::pdf {

// What the writer needs to know of a JPEG picture to embed it unchanged.
struct JpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;
    std::string colourSpace; // "DeviceGray", "DeviceRGB" or "DeviceCMYK"
    std::string densityUnit; // from the JFIF header when there is one, else empty
};

enum class JpegProblem {
    None,
    TooShort,          // under 250 bytes
    BadMarkers,        // no start or end marker, or marker segments that do not fit the file
    BadDensityUnit,    // a JFIF density unit other than 0, 1, 2 (see JpegReading::badUnit)
    UnsupportedColour, // a component count that names no PDF colour space
};

struct JpegReading {
    JpegProblem problem = JpegProblem::None;
    JpegInfo info;
    int badUnit = 0;
};

// Checks a JPEG file's bytes without decoding the picture: start and end markers, then the
// marker segments (and any fill bytes before a marker) up to the start of the scan for the frame
// size, the component count and the JFIF density unit. Every read stays inside the bytes given.
JpegReading ReadJpegInfo(std::string_view bytes);

} // namespace tarvik::pdf
