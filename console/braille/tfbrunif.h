// Portuguese braille translation of a console row: capital and number signs, digits in
// the letters a-j, ordinals and fractions in the lower cells, multi-cell symbols.
#pragma once

#include <string>
#include <string_view>

namespace sonara {

// The module tfbrunif. Its one piece of state, InParens, outlives a call: a text
// parenthesis opened on one row and closed on a later row is still known as one.
class Tfbrunif {
  public:
    // Windows-1252 text in, braille text out: every output character is one cell.
    std::string TranslateToBraille(std::string_view text);

    bool InParens() const { return inParens_; }

  private:
    struct Walk;
    void TranslateAt(Walk& w);
    void Number(Walk& w);
    void NumericBracket(Walk& w);
    void Symbol(Walk& w);

    bool inParens_ = false;
};

}  // namespace sonara
