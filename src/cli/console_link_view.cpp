#include "cli/console_link_view.h"

#include <ostream>

namespace tarvik::cli {

void ConsoleLinkView::SetStatus(const std::string& text, std::uint32_t) {
    lastStatus = text;
    if (!text.empty())
        progress_ << text << "\n";
}

void ConsoleLinkView::SetLinkControls(bool linked) {
    if (!linked)
        ShowUnlinked();
}

void ConsoleLinkView::ShowUnlinked() {
    if (onUnlink)
        onUnlink();
}

} // namespace tarvik::cli
