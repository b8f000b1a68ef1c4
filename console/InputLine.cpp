#include "console/InputLine.h"

#include "console/BracketMatch.h"

#include <algorithm>
#include <string_view>

namespace vemlor {

namespace {

constexpr std::string_view kJumpStops = ";=([{}])";
constexpr int kTabWidth = 4;

bool continuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool isBracket(char c) {
    return std::string_view("([{}])").find(c) != std::string_view::npos;
}

// Where Ctrl+B starts its parentheses: after the assignment's "=" (or "=="
// when the first "=" is doubled), else at the start of the line.
int assignmentPoint(const std::string& text) {
    size_t equals = text.find('=');
    if (equals == std::string::npos) return 0;
    if (equals + 1 < text.size() && text[equals + 1] == '=') return int(equals + 2);
    return int(equals + 1);
}

} // namespace

int InputLine::caretColumn() const {
    int column = 0;
    for (int i = 0; i < caret_; ++i)
        if (!continuationByte(text_[size_t(i)])) ++column;
    return column;
}

void InputLine::setText(const std::string& text) {
    text_ = text;
    caret_ = int(text_.size());
}

void InputLine::setCaretColumn(int column) {
    caret_ = 0;
    for (int k = 0; k < column && caret_ < int(text_.size()); ++k)
        moveRight();
}

void InputLine::insert(const std::string& text) {
    text_.insert(size_t(caret_), text);
    caret_ += int(text.size());
}

void InputLine::moveLeft() {
    while (caret_ > 0) {
        --caret_;
        if (!continuationByte(text_[size_t(caret_)])) break;
    }
}

void InputLine::moveRight() {
    if (caret_ >= int(text_.size())) return;
    ++caret_;
    while (caret_ < int(text_.size()) && continuationByte(text_[size_t(caret_)]))
        ++caret_;
}

void InputLine::tab() {
    do
        insert(" ");
    while (caretColumn() % kTabWidth != 0);
}

void InputLine::wrapInParentheses() {
    if (caret_ == 0) return;
    int start = assignmentPoint(text_);
    text_.insert(size_t(caret_), ")");
    ++caret_;
    if (start < caret_) {
        text_.insert(size_t(start), "(");
        ++caret_;
    } else {
        text_.insert(size_t(start + 1), "(");
    }
}

InputLine::Action InputLine::character(int code, bool ctrl, int repeat) {
    lastKeyWalked_ = false;
    if (code == kEnter) {
        history_.add(text_);
        caret_ = 0;
        return Action::LineComplete;
    }
    if (ctrl) {
        switch (code) {
        case kCtrlB:
        case kCtrlBracket:
            wrapInParentheses();
            return Action::None;
        case kCtrlC:
            return Action::Copy;
        case kCtrlV:
            return Action::Paste;
        default:
            return Action::None;
        }
    }
    for (int k = 0; k < repeat; ++k) {
        switch (code) {
        case kBackspace:
            if (caret_ > 0) {
                int end = caret_;
                moveLeft();
                text_.erase(size_t(caret_), size_t(end - caret_));
            }
            break;
        case kTab:
            tab();
            break;
        case kEscape:
            clear();
            caret_ = 0;
            break;
        default:
            if (code >= 32 && code < 256) insert(std::string(1, char(code)));
            break;
        }
    }
    return Action::None;
}

void InputLine::jumpLeft() {
    size_t stop =
        caret_ > 0 ? text_.find_last_of(kJumpStops, size_t(caret_ - 1)) : std::string::npos;
    caret_ = stop == std::string::npos ? 0 : int(stop);
}

void InputLine::jumpRight() {
    moveRight();
    size_t stop = text_.find_first_of(kJumpStops, size_t(caret_));
    caret_ = stop == std::string::npos ? int(text_.size()) : int(stop);
}

void InputLine::recall(const std::string& entry) {
    if (entry.empty()) return; // nothing matched: the line stays
    setText(entry);
}

InputLine::Action InputLine::key(Key key, bool ctrl) {
    bool walking = lastKeyWalked_;
    lastKeyWalked_ = key == Key::Up || key == Key::Down;
    switch (key) {
    case Key::End:
        caret_ = int(text_.size());
        break;
    case Key::Home:
        caret_ = 0;
        break;
    case Key::Left:
        ctrl ? jumpLeft() : moveLeft();
        break;
    case Key::Right:
        ctrl ? jumpRight() : moveRight();
        break;
    case Key::Up:
        recall(history_.up(text_, walking));
        break;
    case Key::Down:
        recall(history_.down());
        break;
    case Key::Delete:
        if (caret_ < int(text_.size())) {
            int start = caret_;
            moveRight();
            text_.erase(size_t(start), size_t(caret_ - start));
            caret_ = start;
        }
        break;
    case Key::F5:
        return Action::F5;
    case Key::F9:
        return Action::RunClipboard;
    }
    return Action::None;
}

std::vector<bool> InputLine::highlightedStretches() const {
    std::vector<bool> marks(text_.size(), false);
    size_t at = 0;
    while ((at = text_.find_first_of("'\"()", at)) != std::string::npos) {
        char opener = text_[at];
        bool quote = opener == '\'' || opener == '"';
        size_t close = text_.find_first_of(quote ? std::string(1, opener) : "()", at + 1);
        size_t end = close == std::string::npos ? text_.size() : std::min(close + 2, text_.size());
        for (size_t i = at; i < end; ++i)
            marks[i] = true;
        at = end;
    }
    return marks;
}

int InputLine::bracketPartner() const {
    if (caret_ == 0 || !isBracket(text_[size_t(caret_ - 1)])) return -1;
    BracketMatch match = matchBracket(text_, caret_ - 1);
    if (!match.matched || match.openers < 2) return -1;
    return match.partner;
}

} // namespace vemlor
