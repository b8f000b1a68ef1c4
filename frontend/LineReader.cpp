// One logical line from the input to statements in the parser's queue.
#include "frontend/LineReader.h"

namespace vemlor {

bool LineReader::readStatements(std::deque<TokenList>& queue, bool throwAtEnd) {
    std::string line;
    if (!input_.getLine(line, throwAtEnd, false)) return false;
    text_ = line + " #";
    Lexer lexer(input_);
    TokenList tokens;
    int suchThatIndex = -1;
    try {
        lexer.lex(text_, '#', tokens, &suchThatIndex);
    } catch (...) {
        text_ = lexer.text(); // the error report shows the continuation lines too
        throw;
    }
    text_ = lexer.text();
    splitter_.split(std::move(tokens), suchThatIndex, input_.isInteractive(), queue);
    return true;
}

std::string LineReader::text() const {
    if (text_.size() >= 2 && text_.compare(text_.size() - 2, 2, " #") == 0)
        return text_.substr(0, text_.size() - 2);
    return text_;
}

} // namespace vemlor
