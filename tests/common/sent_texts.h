#pragma once
// What the program wrote to the line, read back from one of its logs
// (Modem.log, Tx.log): the bytes of each "N:" line as text, in order.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kiv::test {

inline std::vector<std::string> SentTexts(const std::string& log) {
    std::vector<std::string> texts;
    std::ifstream lines(log, std::ios::binary);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find(" N:");
        if (at == std::string::npos) continue;
        std::istringstream hex(line.substr(at + 3));
        std::string text;
        for (unsigned byte = 0; hex >> std::hex >> byte;) text.push_back(static_cast<char>(byte));
        texts.push_back(text);
    }
    return texts;
}

} // namespace kiv::test
