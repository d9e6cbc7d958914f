#include "pdf/jpeg_info.h"

#include "pdf_test_support.h"

#include <gtest/gtest.h>

using namespace tarvik::pdf;
using namespace tarvik::test;

namespace {

std::string Jpeg(const TempDir& dir, int width, int height, JpegOptions options = {}) {
    return ReadBytes(MakeJpeg(dir / "picture.jpg", width, height, options));
}

// The same picture without its JFIF header (APP0 segment).
std::string WithoutJfif(std::string bytes) {
    const size_t length =
        static_cast<unsigned char>(bytes[4]) * 256 + static_cast<unsigned char>(bytes[5]);
    return bytes.erase(2, length + 2);
}

void SetComponentCount(std::string& bytes, int count) {
    const auto frame = bytes.find("\xFF\xC0");
    bytes[frame + 9] = static_cast<char>(count);
}

// A file of `size` bytes: start marker, one comment segment filling the middle, `tail` and
// the end marker.
std::string Synthetic(size_t size, const std::string& tail) {
    const size_t commentLength = size - 2 - tail.size() - 2 - 2;
    std::string bytes = "\xFF\xD8\xFF\xFE";
    bytes += static_cast<char>(commentLength >> 8);
    bytes += static_cast<char>(commentLength & 0xFF);
    bytes += std::string(commentLength - 2, 'c');
    return bytes + tail + "\xFF\xD9";
}

} // namespace

TEST(JpegInfo, ReadsSizeComponentsAndDensityOfRealPictures) {
    TempDir dir;
    const auto colour = ReadJpegInfo(Jpeg(dir, 200, 50));
    ASSERT_EQ(colour.problem, JpegProblem::None);
    EXPECT_EQ(colour.info.width, 200);
    EXPECT_EQ(colour.info.height, 50);
    EXPECT_EQ(colour.info.colourSpace, "DeviceRGB");
    EXPECT_EQ(colour.info.densityUnit, "Dots");

    const auto grey = ReadJpegInfo(Jpeg(dir, 31, 17, {.grey = true, .progressive = true}));
    ASSERT_EQ(grey.problem, JpegProblem::None);
    EXPECT_EQ(grey.info.width, 31);
    EXPECT_EQ(grey.info.height, 17);
    EXPECT_EQ(grey.info.colourSpace, "DeviceGray");

    const auto bare = ReadJpegInfo(WithoutJfif(Jpeg(dir, 40, 30)));
    ASSERT_EQ(bare.problem, JpegProblem::None);
    EXPECT_EQ(bare.info.width, 40);
    EXPECT_EQ(bare.info.densityUnit, "");

    const auto cmyk = ReadJpegInfo(Jpeg(dir, 40, 30, {.cmyk = true}));
    ASSERT_EQ(cmyk.problem, JpegProblem::None);
    EXPECT_EQ(cmyk.info.colourSpace, "DeviceCMYK");
    EXPECT_EQ(cmyk.info.width, 40);
}

TEST(JpegInfo, RefusesWhatIsNoUsablePicture) {
    TempDir dir;
    const std::string good = Jpeg(dir, 64, 64);
    EXPECT_EQ(ReadJpegInfo(good.substr(0, 249)).problem, JpegProblem::TooShort);
    EXPECT_EQ(ReadJpegInfo("").problem, JpegProblem::TooShort);
    EXPECT_EQ(ReadJpegInfo(good + "\r\n").problem, JpegProblem::BadMarkers);
    EXPECT_EQ(ReadJpegInfo("\xFF\xD9" + good.substr(2)).problem, JpegProblem::BadMarkers);

    std::string unit3 = good;
    unit3[13] = 3;
    const auto density = ReadJpegInfo(unit3);
    EXPECT_EQ(density.problem, JpegProblem::BadDensityUnit);
    EXPECT_EQ(density.badUnit, 3);

    std::string twoComponents = good;
    SetComponentCount(twoComponents, 2);
    EXPECT_EQ(ReadJpegInfo(twoComponents).problem, JpegProblem::UnsupportedColour);

    // Marker segments that point past the end, or a frame header cut by the end of the file,
    // are never read beyond the bytes.
    std::string longSegment = Synthetic(300, "");
    longSegment[4] = '\xFF';
    longSegment[5] = '\xFF';
    EXPECT_EQ(ReadJpegInfo(longSegment).problem, JpegProblem::BadMarkers);
    EXPECT_EQ(ReadJpegInfo(Synthetic(300, "\xFF\xC0\x00\x11")).problem, JpegProblem::BadMarkers);
    EXPECT_EQ(ReadJpegInfo(Synthetic(300, "\xFF\xE0\x00\x10JF")).problem, JpegProblem::BadMarkers);
    // Fill bytes, then a frame header of zero height: no picture to place.
    const auto zeroHeight =
        Synthetic(300, std::string("\xFF\xFF\xFF\xFE\x00\x02\xFF\xC0\x00\x0B\x08\x00\x00\x00\x10"
                                   "\x01\x01\x11\x00",
                                   19));
    EXPECT_EQ(ReadJpegInfo(zeroHeight).problem, JpegProblem::BadMarkers);
    const auto frame = Synthetic(300, std::string("\xFF\xC0\x00\x0B\x08\x00\x20\x00\x10"
                                                  "\x01\x01\x11\x00",
                                                  13));
    EXPECT_EQ(ReadJpegInfo(frame).problem, JpegProblem::None);
    EXPECT_EQ(ReadJpegInfo(frame).info.width, 16);
    EXPECT_EQ(ReadJpegInfo(frame).info.height, 32);
}
