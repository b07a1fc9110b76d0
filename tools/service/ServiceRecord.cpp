#include "ServiceRecord.h"
#include <fstream>

std::string EscapeField(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '\t':
            escaped += "\\t";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\\':
            escaped += "\\\\";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::size_t ServiceRecord::Add(const std::string& path,
                               const std::multimap<std::string, std::string>& fields) {
    // The fields in the order of their names; the query's own order is not kept by the parser.
    std::string line = EscapeField(path);
    for (const auto& [name, value] : fields)
        line += "\t" + EscapeField(name) + "=" + EscapeField(value);
    line += "\n";
    std::lock_guard<std::mutex> lock(mutex);
    lines += line;
    if (!file.empty()) {
        std::ofstream out(file, std::ios::app);
        out << line;
    }
    return ++count;
}

std::string ServiceRecord::Text() {
    std::lock_guard<std::mutex> lock(mutex);
    return lines;
}
