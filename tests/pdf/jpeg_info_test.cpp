#include "pdf/jpeg_info.h"

#include "pdf_test_support.h"

#include <gtest/gtest.h>

using namespace tarvik::pdf;
using namespace tarvik::test;

namespace {

std::string Jpeg(const TempDir& dir, int width, int height, JpegOptions options = {}) {
    return ReadBytes(MakeJpeg(dir / "picture.jpg", width, height, options));
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

    const auto bare = ReadJpegInfo(WithoutJfifHeader(Jpeg(dir, 40, 30)));
    ASSERT_EQ(bare.problem, JpegProblem::None);
    EXPECT_EQ(bare.info.densityUnit, "");

    const auto cmyk = ReadJpegInfo(Jpeg(dir, 40, 30, {.cmyk = true}));
    ASSERT_EQ(cmyk.problem, JpegProblem::None);
    EXPECT_EQ(cmyk.info.colourSpace, "DeviceCMYK");
    EXPECT_EQ(cmyk.info.width, 40);
}

// Refusals of whole files, with their messages, are tested where pictures are placed.
TEST(JpegInfo, NeverReadsBeyondTheBytes) {
    EXPECT_EQ(ReadJpegInfo("").problem, JpegProblem::TooShort);
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

// Any run of 0xFF fill bytes may stand before a marker; the marker after it still counts.
TEST(JpegInfo, FillBytesBeforeAMarkerAreSkippedAndThePictureKeepsItsSize) {
    TempDir dir;
    std::string padded = Jpeg(dir, 200, 50);
    padded.insert(padded.find("\xFF\xC0"), 5, '\xFF'); // before the frame header
    padded.insert(2, 1, '\xFF');                       // before the JFIF header
    const auto file = dir / "padded.jpg";
    WriteBytes(file, padded);
    ASSERT_EQ(RunTool("djpeg -outfile /dev/null " + ShellQuoted(file)).exitCode, 0)
        << "a decoder takes the padded picture";

    const auto reading = ReadJpegInfo(padded);
    ASSERT_EQ(reading.problem, JpegProblem::None);
    EXPECT_EQ(reading.info.width, 200);
    EXPECT_EQ(reading.info.height, 50);
    EXPECT_EQ(reading.info.colourSpace, "DeviceRGB");
    EXPECT_EQ(reading.info.densityUnit, "Dots");

    PdfTestBed bed;
    bed.printer().PDFSetUnit(0);
    bed.Begin();
    bed.printer().PDFImage(file.string(), 10, 20);
    const std::string pdf = bed.Finish();
    EXPECT_TRUE(bed.sink().messages.empty());
    EXPECT_NE(PageContent(pdf).find("\r\n200.00 0 0 50.00 10.00 "), std::string::npos);
    EXPECT_NE(pdf.find("/Width 200\r\n/Height 50\r\n"), std::string::npos);
}
