// The mouse and keyboard of the figure windows, and their controls.
//
//   getmouse([])          the pointer [x, y] in data units
//   getmouse(indices)     the state values of the codes or letters given:
//                         0 (reads and clears the event flag), x y l r c X Y
//                         D i m f F k (1 ... 13)
//   setmouse(v)           stores v as the value of code 10 ("m")
//   getclick(n)           waits for a left press in figure n; [x, y] of it
//   getclick(0)           waits for a left press in the current figure; []
//   getkeyb()             the code of the key held down in a figure window
//   getch()               waits for a character typed in the console
//   dragable(ids [, lim]) the items can be dragged, within the rows
//                         [xmin, xmax, ymin, ymax] of lim when given
//   createButton(label [, type [, text]])
//                         a button ('b'), text field ('e') or label ('h')
//                         along the lower left of the figure window; a
//                         button with a text types it as a command
//   menu(headings, items) a menu bar; items holds one list or string matrix
//                         per heading (or, for one heading, is its list),
//                         an item "text|command" showing the text and
//                         typing the command (a plain item types itself)
//
// Waiting commands answer "no figure window is open" where no window can be
// shown (batch runs, terminals without a display), rather than wait forever.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"
#include "builtins/PlotSupport.h"
#include "platform/Dialogs.h"

#include <algorithm>
#include <cmath>

namespace vemlor {

namespace {

using namespace detail;

constexpr int kStoredValue = 10, kHandedValue = 11;
constexpr char kLetters[] = "xylrcXYDimfFk"; // codes 1 ... 13
constexpr int kPollMilliseconds = 50;

[[noreturn]] void noWindow(std::string_view context) {
    raiseRuntime(context, "no figure window is open");
}

// The code of an index: a number 0 ... 13 or the character code of a letter.
int indexCode(double index) {
    if (index >= 0 && index <= 13 && index == std::floor(index)) return int(index);
    for (int k = 0; kLetters[k]; ++k)
        if (index == kLetters[k]) return k + 1;
    raiseRuntime("getmouse", "invalid index");
}

// A pixel of a figure's frame in data units; 0, 0 when the figure is gone.
void toData(FigureSet& figures, int number, int frame, int px, int py, double& x, double& y) {
    x = y = 0;
    Figure* figure = figures.find(number);
    if (!figure || frame < 0 || frame >= int(figure->frames().size())) return;
    Frame& f = *figure->frames()[size_t(frame)];
    f.computeTransform(figure->width, figure->height);
    dataOfPixel(f, px, py, x, y);
}

double stateValue(FigureSet& figures, int code) {
    MouseState& m = MouseState::process();
    double x = 0, y = 0;
    switch (code) {
    case 0:
        m.event = false;
        return 0;
    case 1:
    case 2:
        toData(figures, m.figure, m.frame, m.x, m.y, x, y);
        return code == 1 ? x : y;
    case 3:
        return m.left;
    case 4:
        return m.right;
    case 5:
        return m.event;
    case 6:
    case 7:
        toData(figures, m.pressFigure, m.pressFrame, m.pressX, m.pressY, x, y);
        return code == 6 ? x : y;
    case 8:
        return m.doubleClick;
    case 9:
        return m.dragged;
    case 12:
        return m.frame;
    case 13:
        return m.key;
    default:
        return 0;
    }
}

void copyNumbers(const Value* from, DoubleValue& out) {
    if (!from || from->type() == LIST_VAL) {
        out.setShapeKind(0, 0, KIND_NUMERIC);
        return;
    }
    out.setShapeKind(from->n, from->nrow, KIND_NUMERIC);
    for (int i = 0; i < from->n; ++i)
        out[i] = numberAt(*from, i);
}

void getmouse(BuiltinContext& context, const Value& v, DoubleValue& out) {
    FigureSet& figures = context.figures();
    figures.processInput();
    if (v.type() != INTEGER_VAL && v.type() != DOUBLE_VAL)
        raiseRuntime("getmouse", "getmouse index invalid or used incorrectly");
    if (v.n == 0) {
        out.setShapeKind(2, 1, KIND_NUMERIC);
        out[0] = stateValue(figures, 1);
        out[1] = stateValue(figures, 2);
        return;
    }
    std::vector<int> codes;
    for (int i = 0; i < v.n; ++i)
        codes.push_back(indexCode(numberAt(v, i)));
    for (int code : codes)
        if ((code == kStoredValue || code == kHandedValue) && codes.size() > 1)
            raiseRuntime("getmouse", "non-scalar argument");
    MouseState& m = MouseState::process();
    if (codes[0] == kStoredValue) return copyNumbers(m.stored.get(), out);
    if (codes[0] == kHandedValue) return copyNumbers(m.handed.get(), out);
    out.setShapeKind(int(codes.size()), 1, KIND_NUMERIC);
    for (size_t i = 0; i < codes.size(); ++i)
        out[int(i)] = stateValue(figures, codes[i]);
}

void setmouse(BuiltinContext&, const Value& v, DoubleValue& out) {
    MouseState::process().stored = newValueCopy(v);
    copyNumbers(&v, out);
}

// Waits until the left button is pressed in figure `number`.
void waitForPress(BuiltinContext& context, int number) {
    MouseState& m = MouseState::process();
    long before = m.presses;
    for (;;) {
        context.checkInterrupt();
        FigureSet& figures = context.figures();
        figures.processInput();
        if (m.presses != before && m.pressFigure == number) return;
        if (!figures.find(number)) raiseRuntime("getclick", "no figure open for mouse click");
        before = m.pressFigure == number ? before : m.presses;
        figures.waitForEvents(kPollMilliseconds);
    }
}

void getclick(BuiltinContext& context, const Value& v, DoubleValue& out) {
    FigureSet& figures = context.figures();
    if (!figures.hasWindows()) noWindow("getclick");
    if (v.type() == LIST_VAL || !isRealNumbers(v) || v.n != 1)
        raiseRuntime("getclick", "the figure number must be a scalar");
    double n = numberAt(v, 0);
    if (n < 0 || n > kMaxFigureNumber || n != std::floor(n))
        raiseRuntime("figure", "number must be between 0 and 128");
    int number = int(n);
    if (number == 0) {
        Figure* current = figures.current();
        if (!current) raiseRuntime("getclick", "no figure open for mouse click");
        number = current->number();
    } else {
        refresh(figures.select(number));
    }
    figures.flush();
    waitForPress(context, number);
    if (n == 0) {
        out.setShapeKind(0, 0, KIND_NUMERIC);
        return;
    }
    out.setShapeKind(2, 1, KIND_NUMERIC);
    out[0] = stateValue(context.figures(), 6);
    out[1] = stateValue(context.figures(), 7);
}

double getkeyb(BuiltinContext& context) {
    FigureSet& figures = context.figures();
    if (!figures.hasWindows() || !figures.current()) noWindow("getkeyb");
    figures.processInput();
    return MouseState::process().key;
}

double getch(BuiltinContext& context) {
    char c = 0;
    if (context.isolated() || !context.dialogs().askCharacter(c)) {
        context.checkInterrupt(); // Ctrl-C or Abort ended the wait
        raiseRuntime("getch", "no console to read a character from");
    }
    context.output().print(std::string(1, c), false, PRINT_LITERAL);
    return static_cast<unsigned char>(c);
}

std::vector<double> limitRow(const Value& limits, int row) {
    std::vector<double> r(4);
    for (int c = 0; c < 4; ++c)
        r[size_t(c)] = numberAt(limits, c * limits.nrow + row);
    return r;
}

void dragable(BuiltinContext& context, const Value& ids, const Value* limits, ValuePtr& result) {
    if (!isRealNumbers(ids) || ids.n == 0) raiseRuntime("dragable", "failed");
    if (limits) {
        if (!isRealNumbers(*limits) || limits->n == 0 || limits->ncol() != 4)
            raiseRuntime("dragable", "limits should have 4 columns");
        if (limits->nrow != ids.n) raiseRuntime("dragable", "limits.nrow must match id.size");
    }
    Figure& f = requiredFigure(context);
    for (int k = 0; k < ids.n; ++k) {
        double id = numberAt(ids, k);
        itemOfId(f, id, "dragable"); // refuses ids that name no item
        Dragable d{int(id)};
        if (limits) {
            std::vector<double> r = limitRow(*limits, k);
            d.limited = true;
            d.xmin = std::min(r[0], r[1]), d.xmax = std::max(r[0], r[1]);
            d.ymin = std::min(r[2], r[3]), d.ymax = std::max(r[2], r[3]);
        }
        std::erase_if(f.dragables, [&](const Dragable& old) { return old.id == d.id; });
        f.dragables.push_back(d);
    }
    resultAs<DoubleValue>(result).assignScalar(double(f.dragables.size()));
}

void createButton(BuiltinContext& context, std::span<const Value* const> args,
                  std::span<ValuePtr> outputs) {
    const Value& label = *args[0];
    if (isRealNumbers(label) && label.n > 0)
        raiseRuntime("createButton", "plotted-item-button not yet implemented");
    if (!isText(label) || label.n == 0)
        raiseRuntime("createButton", "empty vector or string argument");
    char type = 'b';
    if (args.size() > 1) {
        std::string typeText = textArgument(*args[1], "createButton", "the type must be a string");
        if (!typeText.empty()) type = typeText[0];
    }
    std::string text =
        args.size() > 2 ? textArgument(*args[2], "createButton", "the text must be a string") : "";
    Figure& f = figureForPlot(context);
    int index = f.currentFrame().add(std::make_unique<ButtonItem>(label.toString(), type, text));
    refresh(f);
    resultAs<DoubleValue>(outputs[0]).assignScalar(currentItemId(f, index));
}

std::string trimmedRight(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

// The texts of a list of strings or of the rows of a string matrix.
std::vector<std::string> textsOf(const Value& v) {
    std::vector<std::string> texts;
    if (v.type() == LIST_VAL) {
        const auto& list = static_cast<const ListValue&>(v);
        for (int i = 0; i < list.n; ++i) {
            const Value* item = list[i].value.get();
            if (!item || !isText(*item)) raiseRuntime("menu", "invalid argument");
            texts.push_back(item->toString());
        }
        return texts;
    }
    if (!isText(v)) raiseRuntime("menu", "wrong format (should be list or string matrix)");
    for (int r = 0; r < v.nrow; ++r) {
        std::string row;
        for (int c = 0; c < v.ncol(); ++c)
            row += char(int(numberAt(v, c * v.nrow + r)));
        texts.push_back(trimmedRight(row));
    }
    return texts;
}

void menu(BuiltinContext& context, std::span<const Value* const> args,
          std::span<ValuePtr> outputs) {
    std::vector<std::string> headings = textsOf(*args[0]);
    const Value& items = *args[1];
    std::vector<const Value*> perHeading;
    if (items.type() == LIST_VAL) {
        const auto& list = static_cast<const ListValue&>(items);
        for (int i = 0; i < list.n; ++i)
            perHeading.push_back(list[i].value.get());
    }
    // With one heading, a list of item texts is that menu's items.
    bool oneMenusItems =
        headings.size() == 1 && std::any_of(perHeading.begin(), perHeading.end(),
                                            [](auto* v) { return v && v->type() != LIST_VAL; });
    if (items.type() != LIST_VAL || oneMenusItems) perHeading = {&items};
    if (perHeading.size() != headings.size())
        raiseRuntime("menu", "number of menus does not match number of headings");
    Figure& f = figureForPlot(context);
    f.menuBar.clear();
    for (size_t h = 0; h < headings.size(); ++h) {
        if (!perHeading[h]) raiseRuntime("menu", "invalid argument");
        FigureMenu m{headings[h], {}, {}};
        for (const std::string& item : textsOf(*perHeading[h])) {
            size_t bar = item.find('|');
            m.items.push_back(item.substr(0, bar));
            m.commands.push_back(bar == std::string::npos ? item : item.substr(bar + 1));
        }
        f.menuBar.push_back(std::move(m));
    }
    refresh(f);
    resultAs<DoubleValue>(outputs[0]).assignScalar(double(headings.size()));
}

} // namespace

std::span<const BuiltinDefinition> mouseAndKeysTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("getmouse", getmouse),
        defineBuiltin("setmouse", setmouse),
        defineBuiltin("getclick", getclick),
        defineBuiltin("getkeyb", getkeyb),
        defineBuiltin("getch", getch),
        defineBuiltin("dragable", dragable),
        defineBuiltin("createButton", createButton, DOUBLE_VAL, 1, 3),
        defineBuiltin("menu", menu, DOUBLE_VAL, 2, 2),
    };
    return table;
}

} // namespace vemlor
