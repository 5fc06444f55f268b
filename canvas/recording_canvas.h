// A canvas that draws nothing and logs every call, with the pen, brush and
// font state at the moment of the call. Tests of drawing code read the log.
//
// Fixed text metrics: TextWidth = 6 pixels per character (code point) of
// the text, TextHeight = 13 pixels for any text, the empty one included.
#pragma once

#include "../canvas/Qorn_canvas.h"

#include <string>
#include <vector>

namespace kurvo {

struct TCanvasCall {
    std::string Op;            // "MoveTo", "LineTo", "Rectangle", "Ellipse", "Arc", "Polygon",
                               // "Polyline", "SetPixel", "TextOut", "Draw", "StretchDraw",
                               // "ResetTextAlign"
    std::vector<int> Args;     // integer arguments in call order (not for point lists)
    std::vector<TPoint> Points;  // Polygon, Polyline
    std::string Text;          // TextOut
    TColor Color = 0;          // SetPixel colour
    TColor PenColor = 0;
    int PenWidth = 1;
    TPenStyle PenStyle = psSolid;
    TPenMode PenMode = pmCopy;
    TColor BrushColor = 0;
    TBrushStyle BrushStyle = bsSolid;
    TColor FontColor = 0;
    int FontSize = 0;
    std::string FontName;
    TFontStyles FontStyle;
    bool Antialiased = false;
};

class TRecordingCanvas : public TCanvas {
public:
    static constexpr int CharWidth = 6;
    static constexpr int LineHeight = 13;

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void Polygon(const TPoint* points, int count) override;
    void Polyline(const TPoint* points, int count) override;
    void SetPixel(int x, int y, TColor color) override;
    TColor GetPixel(int x, int y) const override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    void Draw(int x, int y, const TBitmap& image) override;
    void StretchDraw(const TRect& rect, const TBitmap& image) override;
    void ResetTextAlign() override;
    bool IsPrinterCanvas() const override { return FPrinter; }

    // Makes the canvas pose as a printer's page (for the printer branches).
    void SetPrinter(bool value) { FPrinter = value; }

    const std::vector<TCanvasCall>& Calls() const { return FCalls; }
    void Clear() { FCalls.clear(); }
    // The calls whose Op is `op`, in order.
    std::vector<TCanvasCall> CallsOf(const std::string& op) const;
    // Ops only, one per call, for comparing whole sequences.
    std::vector<std::string> Ops() const;

private:
    TCanvasCall& Record(const char* op);

    std::vector<TCanvasCall> FCalls;
    bool FPrinter = false;
};

}  // namespace kurvo
