// Printing and wrapping. Widths count bytes of the stored text, markup
// included, because that is what the store holds; a wrapped markup line
// continues with the markup that was not yet read.
#include "console/ConsoleOutput.h"

#include "core/Errors.h"

#include <string>

namespace vemlor {

namespace {

// Without a space in the wanted range, over-long text is cut into pieces of
// this many characters.
constexpr size_t kBreakLength = 15;
// A space before this column is not used to break an over-long text.
constexpr size_t kFirstBreakColumn = 16;

bool holdsMarkupCharacter(std::string_view text) {
    return text.find_first_of("{}_^\\") != std::string_view::npos;
}

} // namespace

ConsoleOutput::ConsoleOutput() : ring_(1) {}

void ConsoleOutput::print(std::string_view text, bool newLine, int mode) {
    if (newLine && !currentLine().empty()) this->newLine();
    switch (mode) {
    case PRINT_MARKUP: {
        size_t start = 0;
        for (size_t end = text.find('\n'); end != std::string_view::npos;
             end = text.find('\n', start)) {
            append(text.substr(start, end - start));
            this->newLine();
            start = end + 1;
        }
        append(text.substr(start));
        break;
    }
    case PRINT_LITERAL:
        if (holdsMarkupCharacter(text))
            append("{;" + std::string(text));
        else
            append(text);
        break;
    case PRINT_RAW:
        append("{:" + std::string(text));
        break;
    default:
        raiseBug("BUG: console output in unknown mode " + std::to_string(mode));
    }
    if (newLine) this->newLine();
}

char ConsoleOutput::setItemSeparator(char separator) {
    char previous = itemSeparator_;
    itemSeparator_ = separator;
    return previous;
}

const std::string& ConsoleOutput::line(long number) const {
    static const std::string kNoLine;
    if (number < 0 || number > current_ || current_ - number >= kRingSize) return kNoLine;
    return ring_[size_t(number % kRingSize)];
}

void ConsoleOutput::setColumnWidth(int width, char fill) {
    columnWidth_ = width > 0 ? width : 0;
    fill_ = fill;
}

void ConsoleOutput::endLine() {
    if (!currentLine().empty()) newLine();
}

void ConsoleOutput::newLine() {
    if (listener_) listener_(currentLine());
    ++current_;
    size_t slot = size_t(current_ % kRingSize);
    if (slot == ring_.size())
        ring_.emplace_back();
    else
        ring_[slot].clear();
}

void ConsoleOutput::append(std::string_view text) {
    if (columnWidth_ > 0 && !currentLine().empty()) {
        size_t width = size_t(columnWidth_);
        size_t target = (currentLine().size() / width + 1) * width;
        if (lineWidth_ > 0 && target + text.size() > size_t(lineWidth_))
            newLine();
        else
            padToNextColumn(target);
    }
    appendWrapped(text);
}

// Pads with spaces, or with the fill character between two spaces when the
// gap is wide enough, so the columns stay readable ("name ..... value").
void ConsoleOutput::padToNextColumn(size_t target) {
    std::string& line = currentLine();
    size_t gap = target - line.size();
    if (fill_ == ' ' || gap < 3) {
        line.append(gap, ' ');
        return;
    }
    line.push_back(' ');
    line.append(gap - 2, fill_);
    line.push_back(' ');
}

void ConsoleOutput::appendWrapped(std::string_view text) {
    if (lineWidth_ <= 0) {
        currentLine().append(text);
        return;
    }
    size_t width = size_t(lineWidth_);
    size_t used = currentLine().size();
    size_t room = used < width ? width - used : 0;
    if (text.size() > room) {
        size_t space = text.rfind(' ', room);
        if (space != std::string_view::npos) {
            currentLine().append(text.substr(0, space));
            text.remove_prefix(space + 1);
            newLine();
        } else if (used > 0) {
            newLine();
        }
    }
    while (text.size() > width) {
        size_t space = text.rfind(' ', width);
        bool useSpace = space != std::string_view::npos && space >= kFirstBreakColumn;
        size_t pieceLength = useSpace ? space : kBreakLength;
        currentLine().append(text.substr(0, pieceLength));
        text.remove_prefix(useSpace ? pieceLength + 1 : pieceLength);
        newLine();
    }
    currentLine().append(text);
}

} // namespace vemlor
