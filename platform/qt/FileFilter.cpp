#include "platform/qt/FileFilter.h"

#include "platform/sys/Strings.h"

namespace uiqt {

std::vector<std::string> toQtNameFilters(const std::string& filter) {
    std::vector<std::string> out;
    if (filter.empty())
        return out;
    const auto parts = sys::splitOn(filter, '|');
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        const std::string desc = sys::trim(parts[i], " \t");
        std::string patterns;
        if (i + 1 < parts.size())
            for (auto p : sys::splitOn(parts[i + 1], ';')) {
                const std::string one = sys::trim(p, " \t");
                if (one.empty())
                    continue;
                if (!patterns.empty())
                    patterns += ' ';
                patterns += one;
            }
        if (patterns.empty())
            patterns.push_back('*'); // a description without patterns: every file
        if (desc.empty() && patterns == "*" && i + 1 >= parts.size())
            continue; // a trailing "|"
        std::string tail = "(" + patterns + ")";
        if (desc.ends_with(tail))
            out.push_back(desc);
        else if (desc.empty())
            out.push_back(tail);
        else
            out.push_back(desc + " " + tail);
    }
    return out;
}

std::string stripAccessKeys(const std::string& caption) {
    std::string out;
    out.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

std::string toDisplayLines(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

std::string fromDisplayLines(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

} // namespace uiqt
