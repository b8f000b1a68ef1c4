// Reading physical lines from a file or an in-memory text, and turning them
// into logical lines: comment lines and "##" block comments are skipped,
// indentation steps become '{' and '}' characters.
#include "frontend/InputSource.h"

#include "core/Errors.h"

namespace vemlor {
namespace {

bool isSpaceChar(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

size_t firstNonBlank(const std::string& line) {
    return line.find_first_not_of(" \t");
}

std::string withoutLeadingSpace(const std::string& line) {
    size_t i = 0;
    while (i < line.size() && isSpaceChar(line[i]))
        ++i;
    return line.substr(i);
}

bool startsWithDoubleHash(const std::string& line) {
    size_t i = firstNonBlank(line);
    return i != std::string::npos && line.compare(i, 2, "##") == 0;
}

// True when the first word of the line is `function`.
bool isFunctionHeader(const std::string& line) {
    size_t i = firstNonBlank(line);
    if (i == std::string::npos || line.compare(i, 8, "function") != 0) return false;
    if (i + 8 >= line.size()) return true;
    char next = line[i + 8];
    bool identChar = (next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') ||
                     (next >= '0' && next <= '9') || next == '_';
    return !identChar;
}

} // namespace

bool isBlankLine(const std::string& line) {
    for (char c : line)
        if (!isSpaceChar(c)) return false;
    return true;
}

InputSource::InputSource(const std::string& fileName) : mode_(File), fileName_(fileName) {
    auto stream = std::make_unique<std::ifstream>(fileName, std::ios::binary);
    if (stream->is_open()) stream_ = std::move(stream);
}

InputSource::InputSource(char modeChar, std::string text)
    : text_(std::move(text)), mode_(modeChar == '>' ? Typed : Text) {}

bool InputSource::atEnd() const {
    if (mode_ == File) return !stream_ || stream_->peek() == std::char_traits<char>::eof();
    return position_ >= text_.size();
}

void InputSource::close() {
    if (mode_ == File) stream_.reset();
}

bool InputSource::readPhysicalLine(std::string& out) {
    if (atEnd()) return false;
    if (mode_ == File) {
        std::getline(*stream_, out);
        // A script written on Windows keeps its carriage returns on Linux.
        if (!out.empty() && out.back() == '\r') out.pop_back();
    } else {
        size_t end = text_.find('\r', position_);
        if (end == std::string::npos) {
            out = text_.substr(position_);
            position_ = text_.size();
        } else {
            out = text_.substr(position_, end - position_);
            position_ = end + 1;
            if (position_ < text_.size() && text_[position_] == '\n') ++position_;
        }
    }
    ++lineNumber_;
    return true;
}

void InputSource::skipToLine(int n) {
    std::string discarded;
    while (lineNumber_ < n - 1)
        if (!readPhysicalLine(discarded)) ++lineNumber_;
}

void InputSource::skipBlockComment() {
    std::string line;
    while (readPhysicalLine(line))
        if (startsWithDoubleHash(line)) return;
}

InputSource::CommentResult InputSource::handleComment(const std::string& line) {
    size_t i = firstNonBlank(line);
    if (i == std::string::npos || line[i] != '#') return CommentResult::NotComment;
    if (line.compare(i, 2, "##") != 0) return CommentResult::Skipped;
    if (line.compare(i + 2, 9, "end_input") == 0) {
        if (mode_ != File) return CommentResult::Skipped;
        close();
        return CommentResult::EndOfInput;
    }
    blockCommentStart_ = lineNumber_;
    skipBlockComment();
    return CommentResult::Skipped;
}

std::string InputSource::applyIndentation(const std::string& line) {
    int columns = 0;
    for (char c : line) {
        if (c == ' ')
            ++columns;
        else if (c == '\t')
            columns = (columns / 4 + 1) * 4;
        else
            break;
    }
    int level = (columns + 2) / 4;
    std::string prefix;
    if (level > indentLevel_)
        prefix.assign(level - indentLevel_, '{');
    else if (level < indentLevel_)
        prefix.assign(indentLevel_ - level, '}');
    indentLevel_ = level;
    indentPrefixLength_ = int(prefix.size());
    return prefix + withoutLeadingSpace(line);
}

bool InputSource::getLine(std::string& out, bool throwAtEnd, bool raw) {
    std::string line;
    while (readPhysicalLine(line)) {
        if (isBlankLine(line) || handleComment(line) != CommentResult::NotComment) continue;
        indentPrefixLength_ = 0;
        if (!raw) line = applyIndentation(line);
        line = withoutLeadingSpace(line);
        if (!line.empty()) {
            out = std::move(line);
            return true;
        }
    }
    if (throwAtEnd) raiseCode(ErrorCode::EndOfInput);
    return false;
}

InputSource::FunctionStart InputSource::nextFunction() {
    blockCommentStart_ = -1;
    std::string line;
    while (readPhysicalLine(line)) {
        if (isBlankLine(line)) continue;
        CommentResult comment = handleComment(line);
        if (comment == CommentResult::EndOfInput) break;
        if (comment == CommentResult::Skipped) continue;
        if (isFunctionHeader(line))
            return {withoutLeadingSpace(line), lineNumber_, blockCommentStart_};
        // A block comment documents a function only when it stands right above it.
        blockCommentStart_ = -1;
    }
    return {};
}

void InputSource::replaceText(std::string text) {
    text_ = std::move(text);
    position_ = 0;
    lineNumber_ = -1;
    indentLevel_ = 0;
    blockCommentStart_ = 0;
}

void InputSource::rewind(size_t position, int lineNumber) {
    position_ = position;
    lineNumber_ = lineNumber;
}

} // namespace vemlor
