// One logical line from the input to statements in the parser's queue.
#include "frontend/LineReader.h"

#include <algorithm>

namespace vemlor {

bool LineReader::readStatements(std::deque<TokenList>& queue, bool throwAtEnd) {
    std::string line;
    if (!input_.getLine(line, throwAtEnd, false)) return false;
    indentPrefix_ = size_t(input_.indentPrefixLength());
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
    std::string line = text_.substr(std::min(indentPrefix_, text_.size()));
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, " #") == 0)
        line.resize(line.size() - 2);
    return line;
}

} // namespace vemlor
