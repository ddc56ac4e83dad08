#include "editor/text/TabExpansion.h"

namespace tabs {

Expanded ExpandTabs(std::string_view utf8, int tabWidth, std::size_t position) {
    Expanded result;
    result.position = position;
    std::size_t tab = utf8.find('\t');
    if (tab == std::string_view::npos || tabWidth < 1) {
        return result;
    }
    result.changed = true;
    std::string& out = result.text;
    out.reserve(utf8.size() + utf8.size() / 8);
    // Column of the first tab: characters since the last line end before it.
    std::size_t lineStart = utf8.find_last_of("\r\n", tab);
    lineStart = lineStart == std::string_view::npos ? 0 : lineStart + 1;
    out.append(utf8.substr(0, lineStart));
    std::size_t column = 0;
    const auto width = static_cast<std::size_t>(tabWidth);
    for (std::size_t i = lineStart; i < utf8.size(); ++i) {
        if (i == position) {
            result.position = out.size();
        }
        const char c = utf8[i];
        if (c == '\t') {
            out.append(width - column % width, ' ');
            column += width - column % width;
        } else {
            out.push_back(c);
            if (c == '\r' || c == '\n') {
                column = 0;
            } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
                ++column; // a UTF-8 continuation byte adds no column
            }
        }
    }
    if (position >= utf8.size()) {
        result.position = out.size() + (position - utf8.size());
    }
    return result;
}

} // namespace tabs
