// Figures and frames: `figure`, `close`, `grid`, `subplot`, `figpos`, `fix`, `unfix`,
// `update`, `wipe`, `useColour`, `print` and `grindex`.
//
// Without a display a figure is its model alone; `print` writes it as SVG
// (or PNG) all the same, and `figpos` works on a screen of 1920 × 1080
// pixels.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"
#include "builtins/PlotSupport.h"
#include "console/Markup.h"

#include <cmath>
#include <fstream>

namespace vemlor {

namespace {

using namespace detail;

// Whole numbers of an argument; false when one is not whole.
bool wholeNumbers(const Value& v, std::vector<int>& out) {
    if (!isRealNumbers(v)) return false;
    for (double x : numbersOf(v)) {
        if (!std::isfinite(x) || x != std::floor(x) || std::fabs(x) > 1e6) return false;
        out.push_back(int(x));
    }
    return true;
}

// Columns and rows of the automatic layout for n panes.
std::pair<int, int> layoutFor(int n) {
    if (n <= 1) return {1, 1};
    if (n <= 3) return {1, n};
    if (n == 4) return {2, 2};
    if (n <= 6) return {2, 3};
    if (n <= 9) return {3, 3};
    if (n <= 12) return {3, 4};
    if (n <= 16) return {4, 4};
    return {4, (n + 4) / 4};
}

// What subplot and figpos answer for a malformed pane or window layout.
constexpr std::string_view kBadLayout = "invalid specification";

FractionRect gridPane(int rows, int columns, int i, std::string_view name) {
    if (rows < 1 || columns < 1 || i < 1 || i > rows * columns) raiseRuntime(name, kBadLayout);
    return {double((i - 1) % columns) / columns, double(rows - (i - 1) / columns - 1) / rows,
            1.0 / columns, 1.0 / rows};
}

// A rectangle from two, three or four numbers, the forms `subplot` and
// `figpos` share.
FractionRect paneRect(const Value& layout, std::string_view name) {
    if (layout.type() == LIST_VAL || !isRealNumbers(layout)) raiseRuntime(name, kBadLayout);
    if (layout.n > 4) raiseRuntime(name, "too many parameters");
    std::vector<double> v = numbersOf(layout);
    std::vector<int> whole;
    if (layout.n == 2 || layout.n == 3) {
        if (!wholeNumbers(layout, whole)) raiseRuntime(name, kBadLayout);
        if (layout.n == 3) return gridPane(whole[0], whole[1], whole[2], name);
        auto [columns, rows] = layoutFor(whole[0]);
        if (whole[0] <= 1) return {0, 0, 1, 1};
        return gridPane(rows, columns, whole[1], name);
    }
    if (layout.n != 4) raiseRuntime(name, kBadLayout);
    for (double x : v)
        if (!std::isfinite(x) || std::fabs(x) > 100) raiseRuntime(name, kBadLayout);
    if (!(v[1] > v[0]) || !(v[3] > v[2])) raiseRuntime(name, kBadLayout);
    return {v[0], v[2], v[1] - v[0], v[3] - v[2]};
}

int figure(BuiltinContext& context, const Value& v) {
    std::vector<int> n;
    if (v.type() == LIST_VAL || !wholeNumbers(v, n) || n.size() != 1)
        raiseRuntime("figure", "number must be between 0 and 128");
    Figure& f = context.figures().select(n[0]);
    refresh(f);
    return f.number();
}

int closeFigures(BuiltinContext& context, int n) {
    context.figures().close(n);
    return n;
}

// grid(n): grid lines at the ticks of both axes of the current frame when n
// is not 0, none when it is.
int grid(BuiltinContext& context, int n) {
    Figure& f = figureForPlot(context);
    AxisTicks& ticks = f.currentFrame().axisTicks();
    for (int* flags : {&ticks.xFlags, &ticks.yFlags})
        *flags = n ? (*flags | kGridLines) : (*flags & ~kGridLines);
    refresh(f);
    return n;
}

int subplot(BuiltinContext& context, const Value& v) {
    Figure& f = figureForPlot(context);
    if (v.n == 0 && v.type() != LIST_VAL) return f.currentFrameIndex() + 1;
    if (v.n == 1 && v.type() != LIST_VAL) {
        std::vector<int> n;
        if (!wholeNumbers(v, n)) raiseRuntime("subplot", kBadLayout);
        if (n[0] >= 1 && n[0] <= int(f.frames().size())) f.selectFrame(n[0] - 1);
        return f.currentFrameIndex() + 1;
    }
    f.selectFrameAt(paneRect(v, "subplot"));
    refresh(f);
    return f.currentFrameIndex() + 1;
}

// [left, right, H - bottom, H - top] of a rectangle given from the top.
void screenRectResult(IntValue& out, const ScreenRect& screen, int left, int top, int width,
                      int height) {
    out.setShapeKind(4, 1, KIND_NUMERIC);
    out[0] = left;
    out[1] = left + width;
    out[2] = screen.height - (top + height);
    out[3] = screen.height - top;
}

void figpos(BuiltinContext& context, const Value& v, IntValue& out) {
    ScreenRect screen = context.figures().screen();
    if (v.type() != LIST_VAL && v.n == 0) {
        out.setShapeKind(4, 1, KIND_NUMERIC);
        out[0] = 1, out[1] = screen.width, out[2] = 1, out[3] = screen.height;
        return;
    }
    if (v.type() != LIST_VAL && v.n == 1 && isRealNumbers(v)) {
        double which = numberAt(v, 0);
        if (which == 0) return screenRectResult(out, screen, 0, 0, screen.width, screen.height);
        if (which != 1) raiseRuntime("figpos", kBadLayout);
        Figure& f = requiredFigure(context);
        return screenRectResult(out, screen, f.screenLeft, f.screenTop, f.width, f.height);
    }
    FractionRect place = paneRect(v, "figpos");
    Figure& f = requiredFigure(context);
    f.screenLeft = int(place.x * screen.width);
    f.screenTop = int((1 - place.y - place.h) * screen.height);
    f.width = std::max(1, int(place.w * screen.width));
    f.height = std::max(1, int(place.h * screen.height));
    f.placeChanged = true;
    refresh(f);
    screenRectResult(out, screen, f.screenLeft, f.screenTop, f.width, f.height);
}

double setFixed(BuiltinContext& context, bool fixed) {
    Figure& f = figureForPlot(context);
    bool previous = f.currentFrame().fixedLimits;
    f.currentFrame().fixedLimits = fixed;
    return previous ? 1 : 0;
}

double fix(BuiltinContext& context) {
    return setFixed(context, true);
}

double unfix(BuiltinContext& context) {
    return setFixed(context, false);
}

double update(BuiltinContext& context) {
    if (Figure* f = context.figures().current()) refresh(*f);
    context.figures().flush();
    return 1;
}

void clearFrame(Frame& frame, int colourLetter, const ColourLookup& colours) {
    frame.clearItems();
    frame.background = kWhite;
    if (colourLetter > 0 && colourLetter < 128)
        frame.background = colours.colour(char(colourLetter)).value_or(kWhite);
}

void wipe(BuiltinContext& context, const Value& v, IntValue& out) {
    std::vector<int> n;
    if (v.type() == LIST_VAL || !wholeNumbers(v, n) || n.size() > 2)
        raiseRuntime("wipe", "invalid number of parameters");
    Figure& f = requiredFigure(context);
    const ColourLookup& colours = context.figures().colours();
    int colour = 0;
    if (n.empty()) {
        for (auto& frame : f.frames())
            clearFrame(*frame, 0, colours);
    } else if (n.size() == 1) {
        colour = n[0];
        clearFrame(f.currentFrame(), colour, colours);
    } else {
        if (n[0] < 1 || n[0] > int(f.frames().size()))
            raiseRuntime("wipe", "invalid subplot number");
        colour = n[1];
        clearFrame(*f.frames()[size_t(n[0] - 1)], colour, colours);
    }
    refresh(f);
    out.setShapeKind(1, 1, KIND_NUMERIC);
    out[0] = colour;
}

void useColour(BuiltinContext& context, const Value& v, IntValue& out) {
    if (!isRealNumbers(v) || (v.n != 3 && v.n != 4))
        raiseRuntime("useColour", "rgb must be 3 or 4 values");
    auto component = [&](int i) {
        double c = numberAt(v, i);
        return std::isfinite(c) ? int(std::clamp(c, 0.0, 255.0)) : 0;
    };
    char letter = v.n == 3 ? 'u' : 'U';
    context.figures().colours().define(letter, makeRgb(component(0), component(1), component(2)));
    out.setShapeKind(1, 1, KIND_NUMERIC);
    out[0] = letter;
}

bool endsWithPng(const std::string& name) {
    if (name.size() < 4) return false;
    std::string end = name.substr(name.size() - 4);
    for (char& c : end)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return end == ".png";
}

// The full path of a figure file: "~/" is the home folder, "\" reads as "/",
// and the file gets the extension "svg" unless the name asks for a PNG
// picture with ".png".
std::string figurePath(BuiltinContext& context, std::string name) {
    if (name.empty()) raiseRuntime("print", "missing or empty file name");
    if (endsWithPng(name)) return userPath(context, name);
    size_t slash = name.find_last_of("/\\"), dot = name.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) name.erase(dot);
    return userPath(context, name + ".svg");
}

void writeSvg(Figure& f, const std::string& path) {
    std::string svg = f.svgText();
    std::ofstream file(path, std::ios::binary);
    if (!file) raiseRuntime("print", "cannot open " + path);
    file.write(svg.data(), std::streamsize(svg.size()));
    file.close();
    if (!file) raiseRuntime("print", "writing to figure file failed");
}

void print(BuiltinContext& context, std::span<const Value* const> args,
           std::span<ValuePtr> outputs) {
    std::string path = figurePath(context, textArgument(*args[0], "print", "file name expected"));
    Figure& f = requiredFigure(context);
    if (endsWithPng(path)) {
        ImageWriter* writer = context.imageWriter();
        if (!writer) raiseRuntime("print", "PNG pictures cannot be made here");
        std::string failure = writer->writePng(path, f, f.width, f.height);
        if (!failure.empty()) raiseRuntime("print", failure);
    } else {
        writeSvg(f, path);
    }
    resultAs<IntValue>(outputs[0]).assignString(path);
}

// grindex(0): the current figure's number; grindex(1): its current frame's
// number; grindex(2): the id of the newest item of that frame. 0 when there
// is no figure.
double grindex(BuiltinContext& context, const Value& v) {
    std::vector<int> n;
    if (v.type() == LIST_VAL || !wholeNumbers(v, n) || n.size() != 1 || n[0] < 0 || n[0] > 2)
        raiseRuntime("grindex", "argument must be 0, 1 or 2");
    Figure* f = context.figures().current();
    if (!f) return 0;
    if (n[0] == 0) return f->number();
    if (n[0] == 1) return f->currentFrameIndex() + 1;
    return currentItemId(*f, int(f->currentFrame().items().size()) - 1);
}

} // namespace

std::span<const BuiltinDefinition> figureCommandsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("figure", figure),
        defineBuiltin("close", closeFigures, INTEGER_VAL),
        defineBuiltin("grid", grid, INTEGER_VAL),
        defineBuiltin("subplot", subplot),
        defineBuiltin("figpos", figpos),
        defineBuiltin("fix", fix),
        defineBuiltin("unfix", unfix),
        defineBuiltin("update", update),
        defineBuiltin("wipe", wipe),
        defineBuiltin("useColour", useColour),
        defineBuiltin("print", print, INTEGER_VAL, 1, 1),
        defineBuiltin("grindex", grindex),
    };
    return table;
}

} // namespace vemlor
