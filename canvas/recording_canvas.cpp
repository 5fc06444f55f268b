#include "canvas/recording_canvas.h"

namespace kurvo {

TCanvasCall& TRecordingCanvas::Record(const char* op)
{
    TCanvasCall& call = FCalls.emplace_back();
    call.Op = op;
    call.PenColor = Pen().Color();
    call.PenWidth = Pen().Width();
    call.PenStyle = Pen().Style();
    call.PenMode = Pen().Mode();
    call.BrushColor = Brush().Color();
    call.BrushStyle = Brush().Style();
    call.FontColor = Font().Color();
    call.FontSize = Font().Size();
    call.FontName = Font().Name();
    call.FontStyle = Font().Style();
    call.Antialiased = Antialiased();
    return call;
}

void TRecordingCanvas::MoveTo(int x, int y)
{
    Record("MoveTo").Args = {x, y};
    TCanvas::MoveTo(x, y);
}

void TRecordingCanvas::LineTo(int x, int y)
{
    Record("LineTo").Args = {x, y};
    SetPenPos({x, y});
}

void TRecordingCanvas::Rectangle(int x1, int y1, int x2, int y2) { Record("Rectangle").Args = {x1, y1, x2, y2}; }

void TRecordingCanvas::Ellipse(int x1, int y1, int x2, int y2) { Record("Ellipse").Args = {x1, y1, x2, y2}; }

void TRecordingCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    Record("Arc").Args = {x1, y1, x2, y2, x3, y3, x4, y4};
}

void TRecordingCanvas::Polygon(const TPoint* points, int count)
{
    Record("Polygon").Points.assign(points, points + (count > 0 ? count : 0));
}

void TRecordingCanvas::Polyline(const TPoint* points, int count)
{
    Record("Polyline").Points.assign(points, points + (count > 0 ? count : 0));
    if (count > 0) SetPenPos(points[count - 1]);
}

void TRecordingCanvas::SetPixel(int x, int y, TColor color)
{
    TCanvasCall& call = Record("SetPixel");
    call.Args = {x, y};
    call.Color = color;
}

TColor TRecordingCanvas::GetPixel(int, int) const { return -1; }

void TRecordingCanvas::TextOut(int x, int y, const std::string& text)
{
    TCanvasCall& call = Record("TextOut");
    call.Args = {x, y};
    call.Text = text;
}

int TRecordingCanvas::TextWidth(const std::string& text) { return CharWidth * Utf8Length(text); }

int TRecordingCanvas::TextHeight(const std::string&) { return LineHeight; }

void TRecordingCanvas::Draw(int x, int y, const TBitmap& image)
{
    Record("Draw").Args = {x, y, image.Width(), image.Height()};
}

void TRecordingCanvas::StretchDraw(const TRect& rect, const TBitmap& image)
{
    Record("StretchDraw").Args = {rect.Left, rect.Top, rect.Right, rect.Bottom, image.Width(), image.Height()};
}

void TRecordingCanvas::ResetTextAlign() { Record("ResetTextAlign"); }

std::vector<TCanvasCall> TRecordingCanvas::CallsOf(const std::string& op) const
{
    std::vector<TCanvasCall> result;
    for (const TCanvasCall& call : FCalls)
        if (call.Op == op) result.push_back(call);
    return result;
}

std::vector<std::string> TRecordingCanvas::Ops() const
{
    std::vector<std::string> result;
    result.reserve(FCalls.size());
    for (const TCanvasCall& call : FCalls) result.push_back(call.Op);
    return result;
}

}  // namespace kurvo
