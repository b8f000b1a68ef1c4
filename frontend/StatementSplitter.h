// Cuts the token list of one logical line into statements.
//
// Statements end after a display terminator (kept), at a ';' separator
// (dropped), after a block end and after a '}' bracket that opens a statement
// or follows a ':' separator. The statements after a such-that clause are
// queued before those in front of it. Typed lines get a display terminator on
// their last statement unless it already ends with ';' or a terminator.
#pragma once

#include "frontend/Token.h"

#include <deque>

namespace vemlor {

class StatementSplitter {
  public:
    // Appends the statements of tokens to queue. suchThatIndex is the index
    // of the "/." token or -1.
    void split(TokenList tokens, int suchThatIndex, bool interactive, std::deque<TokenList>& queue);

  private:
    bool afterColon_ = false; // the previous token seen was a ':' separator

    void cut(TokenList& tokens, size_t begin, size_t end, std::deque<TokenList>& queue,
             TokenList& tail);
};

} // namespace vemlor
