#include "pdf/pdf_message_sink.h"

#include <iostream>

namespace tarvik {

void StderrPdfMessageSink::Show(const std::string& title, const std::string& text,
                                PdfMessageIcon /*icon*/) {
    std::string oneLine = text;
    for (char& c : oneLine) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    std::cerr << title << ": " << oneLine << '\n';
}

} // namespace tarvik
