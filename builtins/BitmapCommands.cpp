// Bitmaps in figures: `loadBitmap` adds one, `getpixel` reads its colours.
//
//   loadBitmap(file [, [x, y]])   the bitmap's top-left corner at (x, y) in
//                                 data units; without a position at the
//                                 top-left corner of the axes
//   getpixel(id [, [px, py]])     [r, g, b] of the pixel px to the right and
//                                 py down from the top-left one (default 0, 0)
//
// Figure files carry no bitmaps; a window shows them.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"
#include "builtins/PlotSupport.h"
#include "console/Markup.h"

#include <cmath>

namespace vemlor {

namespace {

using namespace detail;

void loadBitmap(BuiltinContext& context, const Value& file, const Value* position,
                ValuePtr& result) {
    std::string name = textArgument(file, "loadBitmap", "file name expected");
    if (position && (!isRealNumbers(*position) || position->n != 2))
        raiseRuntime("loadBitmap", "position must be [x, y]");
    auto image = readImageFile(userPath(context, name));
    if (!image) raiseRuntime("loadBitmap", "bitmap failed to load");
    Figure& f = figureForPlot(context);
    Frame& frame = f.currentFrame();
    double x = position ? numberAt(*position, 0) : frame.xmin;
    double y = position ? numberAt(*position, 1) : frame.ymax;
    int id = currentItemId(f, frame.add(std::make_unique<BitmapItem>(std::move(*image), x, y)));
    refresh(f);
    idsResult(result, {id});
}

void getpixel(BuiltinContext& context, const Value& id, const Value* xy, ValuePtr& result) {
    if (!isRealNumbers(id) || id.n != 1) raiseRuntime("getpixel", "id not recognized");
    if (xy && (!isRealNumbers(*xy) || xy->n != 2))
        raiseRuntime("getpixel", "xy argument has the wrong size");
    ItemRef ref = itemOfId(requiredFigure(context), numberAt(id, 0), "getpixel");
    auto* bitmap = dynamic_cast<BitmapItem*>(ref.item);
    if (!bitmap) raiseRuntime("getpixel", "id not recognized");
    double px = xy ? numberAt(*xy, 0) : 0, py = xy ? numberAt(*xy, 1) : 0;
    const Image& image = bitmap->image;
    if (!(px >= 0 && py >= 0 && px < image.width && py < image.height))
        raiseRuntime("getpixel", "the pixel lies outside the bitmap");
    Rgb colour = image.at(int(px), int(py));
    auto& out = resultAs<DoubleValue>(result);
    out.setShapeKind(3, 1, KIND_NUMERIC);
    out[0] = redOf(colour), out[1] = greenOf(colour), out[2] = blueOf(colour);
}

} // namespace

std::span<const BuiltinDefinition> bitmapCommandsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("loadBitmap", loadBitmap),
        defineBuiltin("getpixel", getpixel),
    };
    return table;
}

} // namespace vemlor
