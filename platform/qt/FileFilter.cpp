#include "platform/qt/FileFilter.h"

namespace uiqt {

namespace {

std::string trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t at = s.find(sep, start);
        parts.push_back(s.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

std::vector<std::string> toQtNameFilters(const std::string& filter) {
    std::vector<std::string> out;
    if (filter.empty())
        return out;
    std::vector<std::string> parts = split(filter, '|');
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        std::string desc = trim(parts[i]);
        std::string patterns;
        if (i + 1 < parts.size())
            for (const std::string& p : split(parts[i + 1], ';')) {
                std::string one = trim(p);
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
        if (endsWith(desc, tail))
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
