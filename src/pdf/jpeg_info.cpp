#include "pdf/jpeg_info.h"

#include <array>

namespace tarvik::pdf {

namespace {

constexpr size_t kMinimumSize = 250;

// The marker segments are read through this view, which answers false instead of reading
// past the end of the file.
class ByteView {
public:
    explicit ByteView(std::string_view bytes) : bytes_(bytes) {}

    bool Byte(size_t index, int& out) const {
        if (index >= bytes_.size()) {
            return false;
        }
        out = static_cast<unsigned char>(bytes_[index]);
        return true;
    }

    bool Word(size_t index, int& out) const {
        int high = 0;
        int low = 0;
        if (!Byte(index, high) || !Byte(index + 1, low)) {
            return false;
        }
        out = high * 256 + low;
        return true;
    }

private:
    std::string_view bytes_;
};

bool IsFrameHeader(int marker) {
    static constexpr std::array<int, 7> kFrames = {0xFFC0, 0xFFC1, 0xFFC2, 0xFFC3,
                                                   0xFFC5, 0xFFC6, 0xFFC7};
    for (const int frame : kFrames) {
        if (marker == frame) {
            return true;
        }
    }
    return false;
}

const char* ColourSpaceOf(int components) {
    switch (components) {
    case 1:
        return "DeviceGray";
    case 3:
        return "DeviceRGB";
    case 4:
        return "DeviceCMYK";
    default:
        return nullptr;
    }
}

const char* DensityUnitText(int unit) {
    switch (unit) {
    case 0:
        return "Dots";
    case 1:
        return "Dots/inch (DPI)";
    case 2:
        return "Dots/cm";
    default:
        return nullptr;
    }
}

JpegReading Problem(JpegProblem problem) {
    JpegReading reading;
    reading.problem = problem;
    return reading;
}

} // namespace

JpegReading ReadJpegInfo(std::string_view bytes) {
    if (bytes.size() < kMinimumSize) {
        return Problem(JpegProblem::TooShort);
    }
    const ByteView view(bytes);
    int start = 0;
    int end = 0;
    view.Word(0, start);
    view.Word(bytes.size() - 2, end);
    if (start != 0xFFD8 || end != 0xFFD9) {
        return Problem(JpegProblem::BadMarkers);
    }

    JpegReading reading;
    bool frameSeen = false;
    size_t pos = 2; // zero-based: the byte after the start marker
    while (pos + 2 < bytes.size()) {
        int marker = 0;
        if (!view.Word(pos, marker)) {
            return Problem(JpegProblem::BadMarkers);
        }
        if (marker == 0xFFFF) {
            // Fill bytes: any run of 0xFF may precede a marker. The marker is the last 0xFF
            // of the run and the code after it.
            int next = 0;
            while (view.Byte(pos + 1, next) && next == 0xFF) {
                ++pos;
            }
            if (!view.Word(pos, marker)) {
                return Problem(JpegProblem::BadMarkers);
            }
        }
        if (marker == 0xFFDA) {
            break; // entropy-coded data follows: it holds no further marker segments
        }
        int length = 0;
        if (!view.Word(pos + 2, length)) {
            return Problem(JpegProblem::BadMarkers);
        }
        if (marker == 0xFFE0) {
            int unit = 0;
            if (!view.Byte(pos + 11, unit)) {
                return Problem(JpegProblem::BadMarkers);
            }
            const char* unitText = DensityUnitText(unit);
            if (unitText == nullptr) {
                JpegReading bad = Problem(JpegProblem::BadDensityUnit);
                bad.badUnit = unit;
                return bad;
            }
            reading.info.densityUnit = unitText;
        } else if (IsFrameHeader(marker)) {
            JpegInfo& info = reading.info;
            if (!view.Word(pos + 7, info.width) || !view.Word(pos + 5, info.height) ||
                !view.Byte(pos + 9, info.components)) {
                return Problem(JpegProblem::BadMarkers);
            }
            frameSeen = true;
        }
        pos += static_cast<size_t>(length) + 2;
    }

    // Without a frame header, or with a size of zero, there is no picture to place.
    if (!frameSeen || reading.info.width == 0 || reading.info.height == 0) {
        return Problem(JpegProblem::BadMarkers);
    }
    const char* colourSpace = ColourSpaceOf(reading.info.components);
    if (colourSpace == nullptr) {
        reading.problem = JpegProblem::UnsupportedColour;
        return reading;
    }
    reading.info.colourSpace = colourSpace;
    return reading;
}

} // namespace tarvik::pdf
