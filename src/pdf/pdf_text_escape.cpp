#include "pdf/pdf_text_escape.h"

#include <cstdio>
#include <vector>

namespace tarvik::pdf {

std::string EscapeText(std::string_view text) {
    std::string result;
    result.reserve(text.size() + 8);
    for (const char c : text) {
        if (c == '\\' || c == '(' || c == ')') {
            result += '\\';
        }
        result += c;
    }
    return result;
}

std::string EscapeUnbalanced(std::string_view text) {
    std::vector<bool> escape(text.size(), false);
    std::vector<size_t> open;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            escape[i] = true;
        } else if (text[i] == '(') {
            open.push_back(i);
        } else if (text[i] == ')') {
            if (open.empty()) {
                escape[i] = true;
            } else {
                open.pop_back();
            }
        }
    }
    for (const size_t i : open) {
        escape[i] = true;
    }
    std::string result;
    result.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (escape[i]) {
            result += '\\';
        }
        result += text[i];
    }
    return result;
}

std::string EscapeName(std::string_view name) {
    static constexpr std::string_view kDelimiters = "()<>[]{}/%#";
    std::string result;
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7F || kDelimiters.find(c) != std::string_view::npos) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "#%02X", b);
            result += hex;
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace tarvik::pdf
