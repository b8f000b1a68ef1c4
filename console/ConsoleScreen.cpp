#include "console/ConsoleScreen.h"

#include "console/Markup.h"

#include <algorithm>
#include <cctype>

namespace vemlor {

void ConsoleScreen::append(const std::string& markupLine) {
    ring_[size_t(count_ % kRingSize)] = markupLine;
    ++count_;
    if (following_) first_ = lastFirstVisible();
    first_ = std::max(first_, oldestLine());
}

const std::string& ConsoleScreen::line(long n) const {
    static const std::string kNoLine;
    if (n < oldestLine() || n >= count_) return kNoLine;
    return ring_[size_t(n % kRingSize)];
}

void ConsoleScreen::setLinesPerPage(int lines) {
    linesPerPage_ = std::max(lines, 1);
    scrollTo(following_ ? lastFirstVisible() : first_);
}

long ConsoleScreen::lastFirstVisible() const {
    return std::max(oldestLine(), count_ - linesPerPage_);
}

void ConsoleScreen::scrollTo(long first) {
    first_ = std::clamp(first, oldestLine(), lastFirstVisible());
    following_ = first_ == lastFirstVisible();
}

void ConsoleScreen::select(long line) {
    selectAnchor_ = line;
    selectFirst_ = line;
    selectEnd_ = line + 1;
}

void ConsoleScreen::extendSelection(long line) {
    if (selectEnd_ == selectFirst_) return;
    selectFirst_ = std::min(selectAnchor_, line);
    selectEnd_ = std::max(selectAnchor_, line) + 1;
}

bool ConsoleScreen::selected(long line) const {
    return line >= selectFirst_ && line < selectEnd_;
}

std::string ConsoleScreen::selectionText() const {
    std::string text;
    for (long n = selectFirst_; n < selectEnd_; ++n) {
        if (n < oldestLine() || n >= count_) continue;
        text += withoutPrompt(plainText(line(n)));
        text += '\n';
    }
    return text;
}

std::string withoutPrompt(const std::string& plain) {
    size_t digits = 0;
    while (digits < plain.size() && std::isdigit(static_cast<unsigned char>(plain[digits])))
        ++digits;
    if (digits == 0 || digits + 1 >= plain.size() || plain[digits] != '>') return plain;
    return plain.substr(digits + 2);
}

std::string topicWordAt(const std::string& markupLine, int column) {
    DecodedLine line = decodeMarkup(markupLine, 0);
    if (!line.ok() || column < 0 || size_t(column) >= line.text.size()) return "";
    if (line.text[size_t(column)] == ' ') return "";
    size_t start = line.text.rfind(' ', size_t(column));
    start = start == std::string::npos ? 0 : start + 1;
    size_t end = line.text.find(' ', size_t(column));
    if (end == std::string::npos) end = line.text.size();
    for (size_t i = 0; i < line.segments.size(); ++i)
        if (line.startOf(i) <= int(start) && int(start) < line.segments[i].end)
            return line.segments[i].style == '=' ? line.text.substr(start, end - start) : "";
    return "";
}

bool echoedCommand(const std::string& markupLine, std::string& command) {
    if (!markupLine.starts_with("{g ")) return false;
    size_t body = markupLine.find("> {b:");
    if (body == std::string::npos) return false;
    for (size_t i = 3; i < body; ++i)
        if (!std::isdigit(static_cast<unsigned char>(markupLine[i]))) return false;
    command = markupLine.substr(body + 5);
    return true;
}

} // namespace vemlor
