#include "platform/sim/MciWords.h"

namespace sim {

std::optional<std::vector<std::string>> SplitMciWords(std::string_view command) {
    std::vector<std::string> words;
    std::size_t i = 0;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (i < command.size()) {
        if (blank(command[i])) {
            ++i;
            continue;
        }
        std::string word;
        if (command[i] == '"') {
            std::size_t close = command.find('"', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            word = std::string(command.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            while (i < command.size() && !blank(command[i])) word.push_back(command[i++]);
        }
        words.push_back(std::move(word));
    }
    return words;
}

}  // namespace sim
