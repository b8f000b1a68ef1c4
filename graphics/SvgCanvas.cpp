// SVG elements. Numbers are written as decimal integers; texts are the
// visible text of their markup with the characters XML reserves escaped.
#include "graphics/SvgCanvas.h"

#include "console/Markup.h"

#include <charconv>

namespace vemlor {

SvgCanvas::SvgCanvas(int width, int height) {
    put("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<svg width=\"");
    put(width);
    put("\" height=\"");
    put(height);
    put("\"\nxmlns=\"http://www.w3.org/2000/svg\" stroke=\"black\"  stroke-width=\"1\" "
        "stroke-linecap=\"round\" stroke-linejoin=\"round\" fill=\"none\"\n>\n");
}

std::string SvgCanvas::finish() {
    put("</svg>\n");
    return std::move(out_);
}

void SvgCanvas::put(int value) {
    char digits[16];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out_.append(digits, end);
}

void SvgCanvas::putRgb(Rgb colour) {
    put("\"rgb(");
    put(redOf(colour));
    put(",");
    put(greenOf(colour));
    put(",");
    put(blueOf(colour));
    put(")\"");
}

void SvgCanvas::beginFrame(int frameIndex, const PixelRect& plotArea, const PixelRect&, Rgb) {
    clipName_ = "myClip" + std::to_string(frameIndex);
    put("<clipPath id = \"");
    put(clipName_);
    put("\"><rect x = \"");
    put(plotArea.left);
    put("\" y = \"");
    put(plotArea.top);
    put("\" width = \"");
    put(plotArea.width());
    put("\" height = \"");
    put(plotArea.height());
    put("\"/></clipPath>\n");
}

void SvgCanvas::beginStroke(const PenBlock& pen) {
    put("<svg stroke=");
    putRgb(pen.lineColour);
    put(" stroke-width=\"");
    put(pen.width);
    put("\">\n");
}

void SvgCanvas::beginStrokeAndFill(const PenBlock& pen) {
    put("<svg stroke=");
    putRgb(pen.lineColour);
    put(" stroke-width=\"");
    put(pen.width);
    put("\" fill=");
    putRgb(pen.fillColour);
    put(">\n");
}

void SvgCanvas::endGroup(GroupEnd end) {
    put(end == GroupEnd::LineFeed ? "</svg>\n" : "</svg>");
}

void SvgCanvas::putPoints(std::span<const PixelPoint> points) {
    for (const PixelPoint& p : points) {
        put(p.x);
        put(" ");
        put(p.y);
        put(", ");
    }
}

void SvgCanvas::lines(std::span<const PixelPoint> points) {
    if (points.size() == 2) {
        put("<line x1=\"");
        put(points[0].x);
        put("\" y1=\"");
        put(points[0].y);
        put("\" x2=\"");
        put(points[1].x);
        put("\" y2=\"");
        put(points[1].y);
        put("\"></line>\n");
        return;
    }
    put("<polyline points=\"\n");
    putPoints(points);
    put("\n\" clip-path=\"url(#");
    put(clipName_);
    put(")\"></polyline>\n");
}

void SvgCanvas::polygon(std::span<const PixelPoint> points) {
    put("<polygon points=\"\n");
    putPoints(points);
    put("\n\" clip-path=\"url(#");
    put(clipName_);
    put(")\"></polygon>\n");
}

void SvgCanvas::box(const PixelRect& rect) {
    put("<rect x = \"");
    put(rect.left);
    put("\" y = \"");
    put(rect.top);
    put("\" width = \"");
    put(rect.width());
    put("\"  height = \"");
    put(rect.height());
    put("\"/>\n");
}

void SvgCanvas::bar(const PixelRect& rect) {
    put("<rect x=\"");
    put(rect.left);
    put("\" y=\"");
    put(rect.top);
    put("\" width =\"");
    put(rect.width());
    put("\" height=\"");
    put(rect.height());
    put("\"></rect>\n");
}

void SvgCanvas::circle(PixelPoint centre, int radius) {
    put("<circle cx=\"");
    put(centre.x);
    put("\" cy=\"");
    put(centre.y);
    put("\" r=\"");
    put(radius);
    put("\"/>\n");
}

void SvgCanvas::text(PixelPoint at, std::string_view markup, int placement, int angle,
                     const TextStyle&) {
    static const char* const kAnchors[] = {"end", "middle", "start"};
    static const char* const kBaselines[] = {"auto", "middle", "hanging"};
    put("<svg style=\"fill: #000000; stroke: none; text-anchor:");
    put(kAnchors[placement % 4 % 3]);
    put("; dominant-baseline:");
    put(kBaselines[placement / 4 % 3]);
    put("; xml-space:preserve\">\n<text x=\"");
    put(at.x);
    put("\" y=\"");
    put(at.y);
    put("\" xml:space=\"preserve\"");
    if (angle != 0) {
        put(" transform=\"translate(");
        put(at.x - at.y);
        put(",");
        put(at.y);
        put(") rotate(");
        put(-angle);
        put(")\"");
    }
    put(">\n");
    for (char c : plainText(markup)) {
        switch (c) {
        case '&':
            put("&amp;");
            break;
        case '<':
            put("&lt;");
            break;
        case '>':
            put("&gt;");
            break;
        default:
            out_ += c;
        }
    }
    put("</text>\n</svg>\n");
}

} // namespace vemlor
