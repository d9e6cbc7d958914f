#include "pdf_test_support.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::test;

TEST(PdfDocument, EmptyPageIsWrittenByteForByte) {
    PdfTestBed bed(false);
    bed.Begin();
    const std::string pdf = bed.Finish();
    const std::string expected = "%PDF-1.3\r\n"
                                 "1 0 obj\r\n<<\r\n/Producer ()\r\n/Author ()\r\n"
                                 "/CreationDate (D:20261205100005)\r\n/Creator ()\r\n"
                                 "/Keywords ()\r\n/Subject ()\r\n/Title ()\r\n/ModDate ()\r\n"
                                 ">>\r\nendobj\r\n\r\n"
                                 "2 0 obj\r\n<< /Length 3 0 R\r\n >>\r\nstream\r\n"
                                 "endstream\r\nendobj\r\n\r\n"
                                 "3 0 obj\r\n0\r\nendobj\r\n\r\n"
                                 "4 0 obj\r\n<< /Type /Pages\r\n/Kids [\r\n6 0 R\r\n]\r\n"
                                 "/Count 1\r\n>>\r\nendobj\r\n\r\n"
                                 "5 0 obj\r\n<< /ProcSet [ /PDF /Text /ImageC]\r\n"
                                 "/XObject << \r\n>>\r\n/Font << \r\n>>\r\n>>\r\nendobj\r\n\r\n"
                                 "6 0 obj\r\n<< /Type /Page\r\n/Parent 4 0 R\r\n"
                                 "/MediaBox [ 0 0 595.28 841.89]\r\n/Resources 5 0 R\r\n"
                                 "/Contents 2 0 R\r\n>>\r\nendobj\r\n%FIN_OBJ/%\r\n\r\n"
                                 "7 0 obj\r\n<<\r\n/Type /Catalog\r\n/Pages 4 0 R\r\n"
                                 "/OpenAction [6 0 R /Fit]\r\n/PageLayout /SinglePage\r\n"
                                 ">>\r\nendobj\r\n\r\n"
                                 "xref\r\n0 8\r\n0000000000 65535 f\r\n"
                                 "0000000010 00000 n\r\n"
                                 "0000000161 00000 n\r\n"
                                 "0000000222 00000 n\r\n"
                                 "0000000244 00000 n\r\n"
                                 "0000000313 00000 n\r\n"
                                 "0000000404 00000 n\r\n"
                                 "0000000537 00000 n\r\n"
                                 "trailer\r\n<< /Size 8\r\n/Root 7 0 R\r\n/Info 1 0 R\r\n>>\r\n"
                                 "startxref\r\n645\r\n\r\n"
                                 "%%EOF\r\n";
    EXPECT_EQ(pdf, expected);
    ExpectSoundDocument(bed.file());
    EXPECT_TRUE(bed.sink().messages.empty());
}
