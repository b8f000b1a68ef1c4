#include "console/Debugger.h"

#include "core/Errors.h"
#include "core/Interrupt.h"
#include "core/MathMatrix.h"

#include <algorithm>
#include <fstream>

namespace vemlor {

namespace {

// Long texts are cut to this many characters, "..." added.
constexpr size_t kShownText = 40;

std::string shortened(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    if (text.size() > kShownText) text = text.substr(0, kShownText) + "...";
    return text;
}

std::string shapeText(const Value& v) {
    std::string shape = std::to_string(v.nrow) + " x ";
    if (!v.is3D()) return shape + std::to_string(v.ncol());
    return shape + std::to_string(v.ncol3D()) + " x " + std::to_string(pageCount(v.kind));
}

// The bytes of a value's elements, the items of a list included.
long bytesHeld(const Value& v) {
    if (const auto* list = dynamic_cast<const ListValue*>(&v)) {
        long bytes = long(list->capacity()) * long(sizeof(ListItem));
        for (int i = 0; i < list->n; ++i)
            if (const Value* item = list->data()[i].value.get()) bytes += bytesHeld(*item);
        return bytes;
    }
    if (const auto* m = dynamic_cast<const JMatrix<int>*>(&v))
        return long(m->capacity()) * long(sizeof(int));
    if (const auto* m = dynamic_cast<const JMatrix<double>*>(&v))
        return long(m->capacity()) * long(sizeof(double));
    if (const auto* m = dynamic_cast<const JMatrix<complexd>*>(&v))
        return long(m->capacity()) * long(sizeof(complexd));
    return long(v.n) * v.elementSize();
}

// Source lines around `stop.line`, or the message that the file is missing.
void readExcerpt(const DebugStop& stop, DebugStopView& view) {
    if (stop.sourceFile.empty()) {
        view.excerpt = {"typed input: no source file"};
        return;
    }
    std::ifstream file(stop.sourceFile);
    if (!file) {
        view.excerpt = {"could not open file", stop.sourceFile};
        return;
    }
    int first = std::max(1, stop.line - kLinesBefore);
    int last = stop.line + kLinesAfter;
    std::string text;
    for (int n = 1; n <= last && std::getline(file, text); ++n) {
        if (n < first) continue;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        view.excerpt.push_back(text);
    }
    view.firstLine = first;
}

} // namespace

std::string valueSummary(const Value& v) {
    if (v.isEmpty()) return "[]";
    if (v.isString()) return "\"" + shortened(v.toString()) + "\"";
    std::string type(typeName(v.type()));
    if (v.type() == LIST_VAL)
        return "list of " + std::to_string(v.n) + (v.n == 1 ? " item" : " items");
    if (v.n == 1) return shortened(v.stringItem(0, 6));
    std::string text = type + " " + shapeText(v);
    if (v.type() == COMPLEX_VAL) return text;
    return text + ", min " + v.stringItem(v.indexOfMin(), 6) + ", max " +
           v.stringItem(v.indexOfMax(), 6);
}

std::string valueDescription(const Value& v) {
    std::string kind(kindName(v.kind));
    if (kind.empty()) kind = "kind " + std::to_string(kindCode(v.kind));
    return std::string(typeName(v.type())) + " " + kind + " " + shapeText(v) + ", " +
           std::to_string(bytesHeld(v)) + " bytes";
}

DebugStopView describeStop(const DebugStop& stop, bool stepping) {
    DebugStopView view;
    // Typed input has no line numbers to show.
    view.title = stepping ? "Stepping" : "Breakpoint";
    if (stop.line > 0) view.title += " at line " + std::to_string(stop.line);
    if (!stop.function.empty()) view.title += " in " + stop.function;
    view.names = {"expr value", "", "Locals:"};
    view.values = {stop.value ? valueSummary(*stop.value) : "", "", ""};
    for (const DebugLocal& local : stop.locals) {
        view.names.push_back(local.name);
        view.values.push_back(local.value ? valueSummary(*local.value) : "");
    }
    view.currentLine = stop.line;
    readExcerpt(stop, view);
    return view;
}

void Debugger::startInput() {
    enabled_ = true;
    stepping_ = false;
}

void Debugger::stop(const DebugStop& stop) {
    if (!wouldStop()) return;
    DebugCommand command = view_->waitForCommand(describeStop(stop, stepping()));
    if (interruptRequested.load(std::memory_order_relaxed)) throw Interrupted{};
    apply(command);
}

void Debugger::apply(DebugCommand command) {
    lastCommand_ = command;
    switch (command) {
    case DebugCommand::Step:
        stepping_ = true;
        break;
    case DebugCommand::Continue:
        stepping_ = false;
        break;
    case DebugCommand::Halt:
        stepping_ = false;
        raiseRuntime("execution halted from debugger");
    case DebugCommand::Off:
        stepping_ = false;
        enabled_ = false;
        break;
    }
}

bool Debugger::setEnabled(bool on) {
    bool previous = enabled_.exchange(on);
    if (!on) stepping_ = false;
    return previous;
}

void Debugger::startStepping() {
    stepping_ = true;
}

} // namespace vemlor
