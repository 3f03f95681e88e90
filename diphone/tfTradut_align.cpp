#include "diphone/tfTradut_align.h"

#include <algorithm>

namespace sonara {

std::vector<std::size_t> AlignLetters(std::string_view alias, std::string_view word,
                                      LetterExchangeCost exchangeCost) {
    const std::size_t n = alias.size();
    const std::size_t m = word.size();
    std::vector<std::vector<int>> cost(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t i = 0; i <= n; ++i) cost[i][0] = static_cast<int>(i);
    for (std::size_t j = 0; j <= m; ++j) cost[0][j] = static_cast<int>(j);
    auto differ = [&](std::size_t i, std::size_t j) {
        return exchangeCost(static_cast<unsigned char>(alias[i]),
                            static_cast<unsigned char>(word[j]));
    };
    for (std::size_t i = 1; i <= n; ++i) {
        for (std::size_t j = 1; j <= m; ++j) {
            cost[i][j] = std::min({cost[i - 1][j] + 1, cost[i][j - 1] + 1,
                                   cost[i - 1][j - 1] + differ(i - 1, j - 1)});
        }
    }
    std::vector<std::size_t> at(n, std::string_view::npos);
    std::size_t i = n;
    std::size_t j = m;
    while (i > 0 && j > 0) {
        if (cost[i][j] == cost[i - 1][j - 1] + differ(i - 1, j - 1)) {
            at[--i] = --j;
        } else if (cost[i][j] == cost[i - 1][j] + 1) {
            --i;
        } else {
            --j;
        }
    }
    return at;
}

}  // namespace sonara
