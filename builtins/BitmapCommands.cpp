// Bitmaps in figures: `loadBitmap` adds one, `getpixel` reads its colours,
// `snipImage` cuts a piece out of one.
//
//   loadBitmap(file [, [x, y]])   the bitmap's top-left corner at (x, y) in
//                                 data units; without a position at the
//                                 top-left corner of the axes
//   getpixel(id [, [px, py]])     [r, g, b] of the pixel px to the right and
//                                 py down from the top-left one (default 0, 0)
//   snipImage(id, [px, py, w, h] [, [x, y]])
//                                 keeps only that rectangle of pixels; with
//                                 a position the piece becomes a new bitmap
//                                 there and the old one stays whole
//
// Figure files carry no bitmaps; a window shows them.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"
#include "builtins/PlotSupport.h"
#include "console/Markup.h"
#include "graphics/Bitmap.h"

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

// The rectangle [px, py, w, h] of the image's pixels.
Image snippet(const Image& image, const Value& rect) {
    std::vector<double> r = isRealNumbers(rect) ? numbersOf(rect) : std::vector<double>();
    bool inside = r.size() == 4;
    for (size_t i = 0; inside && i < 4; ++i)
        inside = r[i] == std::floor(r[i]) && r[i] >= (i < 2 ? 0 : 1);
    if (!inside || r[0] + r[2] > image.width || r[1] + r[3] > image.height)
        raiseRuntime("snipImage", "the piece must be [px, py, width, height] inside the bitmap");
    Image piece{int(r[2]), int(r[3]), {}};
    for (int y = 0; y < piece.height; ++y)
        for (int x = 0; x < piece.width; ++x)
            piece.pixels.push_back(image.at(int(r[0]) + x, int(r[1]) + y));
    return piece;
}

void snipImage(BuiltinContext& context, std::span<const Value* const> args,
               std::span<ValuePtr> outputs) {
    if (!isRealNumbers(*args[0]) || args[0]->n != 1) raiseRuntime("snipImage", "id must be scalar");
    Figure& f = requiredFigure(context);
    ItemRef ref = itemOfId(f, numberAt(*args[0], 0), "snipImage");
    auto* bitmap = dynamic_cast<BitmapItem*>(ref.item);
    if (!bitmap) raiseRuntime("snipImage", "id not recognized");
    Image piece = snippet(bitmap->image, *args[1]);
    int id = int(numberAt(*args[0], 0));
    if (args.size() == 3) {
        if (!isRealNumbers(*args[2]) || args[2]->n != 2)
            raiseRuntime("snipImage", "position must be [x, y]");
        auto item = std::make_unique<BitmapItem>(std::move(piece), numberAt(*args[2], 0),
                                                 numberAt(*args[2], 1));
        id = ref.frameIndex * kItemsPerFrame + ref.frame->add(std::move(item));
    } else {
        bitmap->transparentColour = piece.pixels[0];
        bitmap->image = std::move(piece);
    }
    refresh(f);
    idsResult(outputs[0], {id});
}

} // namespace

std::span<const BuiltinDefinition> bitmapCommandsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("loadBitmap", loadBitmap),
        defineBuiltin("getpixel", getpixel),
        defineBuiltin("snipImage", snipImage, DOUBLE_VAL, 2, 3),
    };
    return table;
}

} // namespace vemlor
