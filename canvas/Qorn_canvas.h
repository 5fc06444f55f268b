// The drawing surface: colours, pen, brush, font, the abstract canvas and
// the off-screen bitmap. Everything the chart and its axes draw goes
// through TCanvas; canvas/qt_canvas.h realises it on QPainter.
//
// Pixel rules every realisation keeps:
//  - LineTo and Polyline leave out the end pixel of the (last) segment;
//  - Rectangle and Ellipse fill and outline the box [x1, x2) x [y1, y2):
//    the right and bottom edges are exclusive;
//  - styled pens (psDash ... psDashDotDot) fill their gaps with the brush
//    colour while the brush is solid and leave them untouched while it is
//    clear; TextOut fills the text cell with the brush colour the same way.
// These rules hold for aliased drawing, the default; see
// TCanvas::Antialiased() for the smooth figures.
#pragma once

#include "../canvas/kurvo_export.h"

#include "../canvas/Qorn_object.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include <QtCore/qnamespace.h>

class QColor;
class QImage;

namespace kurvo {

// ---------------------------------------------------------------- colours

/// 0x00BBGGRR for RGB values; high byte 0xFF for a system colour index.
///
/// Qt colours. Every colour setter users reach for (pen, brush and font
/// colours, the chart's DataColor, FillColor, ChartColor, WindColor,
/// GridColor, ChartFrameColor and ShadowColor, the axis colours, crosshair
/// and text label colours) takes, beside a TColor, a QColor and one of Qt's
/// named colours: `SetDataColor(QColor("steelblue"))`,
/// `SetChartColor(palette().base().color())`, `SetGridColor(Qt::lightGray)`.
/// Each stores FromQColor() of it (canvas/qt_interop.h): the red, green and
/// blue of the colour, alpha dropped because the canvas paints opaque, an
/// invalid QColor as black. The Qt::GlobalColor forms exist so that Qt::red
/// means red rather than the small number the enumeration holds. Getters
/// return TColor; ToQColor() turns one into a QColor.
using TColor = std::int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor SystemColor(int index) { return static_cast<TColor>(0xFF000000u | static_cast<unsigned>(index)); }
constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);

/// Resolves a system colour through the fixed classic desktop scheme and
/// returns the plain 0x00BBGGRR value; RGB values pass through unchanged.
/// An unknown system index resolves to black.
KURVO_EXPORT TColor ColorToRGB(TColor color);

// ------------------------------------------------------------ pen, brush

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode : std::uint8_t { pmCopy, pmXor };
enum TBrushStyle : std::uint8_t { bsSolid, bsClear };

/// A pixel position.
struct TPoint {
    int X = 0;  ///< horizontal pixel
    int Y = 0;  ///< vertical pixel
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

/// A position to a fraction of a pixel: whole values are pixel centres, so
/// (2, 3) is the centre of pixel (2, 3) and (2.5, 3) lies on the border
/// between pixels 2 and 3.
struct TPointF {
    double X = 0.0;  ///< horizontal position, pixels
    double Y = 0.0;  ///< vertical position, pixels
    friend bool operator==(const TPointF&, const TPointF&) = default;
};

/// A pixel rectangle [Left, Right) x [Top, Bottom).
struct TRect {
    int Left = 0;  ///< left edge, included
    int Top = 0;  ///< top edge, included
    int Right = 0;  ///< right edge, excluded
    int Bottom = 0;  ///< bottom edge, excluded
    friend bool operator==(const TRect&, const TRect&) = default;
};

/// Drawing attributes notify their canvas through a change counter, so a
/// realisation re-applies its native state only after a real change.
class KURVO_EXPORT TPen {
public:
    ///@{
    /// Colour of lines and outlines; default black.
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    void SetColor(const QColor& value);  ///< a Qt colour, see TColor
    void SetColor(Qt::GlobalColor value);
    ///@}
    ///@{
    /// Width of lines, pixels; default 1.
    int Width() const { return FWidth; }
    void SetWidth(int value);  ///< values below 1 become 1
    ///@}
    ///@{
    /// Form of lines; default psSolid.
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle value);
    ///@}
    ///@{
    /// How lines combine with the pixels below; default pmCopy.
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode value);
    ///@}
    /// Copies every attribute of `source`.
    void Assign(const TPen& source);
    /// Change counter: grows with every change of an attribute.
    unsigned Version() const { return FVersion; }

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    unsigned FVersion = 0;
};

/// Fill of closed figures and text backgrounds.
class KURVO_EXPORT TBrush {
public:
    ///@{
    /// Fill colour; default white.
    TColor Color() const { return FColor; }
    void SetColor(TColor value);  ///< also makes a clear brush solid
    void SetColor(const QColor& value);  ///< a Qt colour, see TColor
    void SetColor(Qt::GlobalColor value);
    ///@}
    ///@{
    /// Fill form; default bsSolid.
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle value);
    ///@}
    /// Copies every attribute of `source`.
    void Assign(const TBrush& source);
    /// Change counter: grows with every change of an attribute.
    unsigned Version() const { return FVersion; }

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    unsigned FVersion = 0;
};

// ----------------------------------------------------------------- fonts

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

/// A set of TFontStyle values.
class TFontStyles {
public:
    /// The empty set.
    constexpr TFontStyles() = default;
    /// The set of the given styles.
    constexpr TFontStyles(std::initializer_list<TFontStyle> styles)
    {
        for (TFontStyle s : styles) FBits |= Bit(s);
    }
    /// Whether `s` is in the set.
    constexpr bool Contains(TFontStyle s) const { return (FBits & Bit(s)) != 0; }
    /// Adds `s`.
    constexpr void Include(TFontStyle s) { FBits |= Bit(s); }
    /// Removes `s`.
    constexpr void Exclude(TFontStyle s) { FBits &= static_cast<std::uint8_t>(~Bit(s)); }
    /// Whether the set is empty.
    constexpr bool Empty() const { return FBits == 0; }
    /// The set as bits, one per TFontStyle.
    constexpr std::uint8_t Bits() const { return FBits; }
    friend constexpr bool operator==(const TFontStyles&, const TFontStyles&) = default;

private:
    static constexpr std::uint8_t Bit(TFontStyle s) { return static_cast<std::uint8_t>(1u << s); }
    std::uint8_t FBits = 0;
};

/// Pixels per inch of the screen the classic desktop assumed.
constexpr int ScreenPixelsPerInch = 96;

/// A font is kept as its character height in pixels at PixelsPerInch; Size
/// (points) is derived from it, as on the classic desktop: Height = -Size * PPI / 72.
/// A negative Height is the character height without internal leading.
class KURVO_EXPORT TFont {
public:
    /// 8-point "MS Sans Serif" in clWindowText at 96 pixels per inch.
    TFont();
    /// A copy of `other`, OnChange included.
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);  ///< copies every attribute, keeps OnChange

    ///@{
    /// Name of the font family; default "MS Sans Serif".
    const std::string& Name() const { return FName; }
    void SetName(const std::string& value);
    ///@}
    ///@{
    /// Size in points, derived from Height(); SetSize sets Height from it.
    int Size() const;
    void SetSize(int points);
    ///@}
    ///@{
    /// Character height in pixels at PixelsPerInch(); negative without internal
    /// leading. Default -11.
    int Height() const { return FHeight; }
    void SetHeight(int pixels);
    ///@}
    ///@{
    /// Colour of the text; default clWindowText.
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    void SetColor(const QColor& value);  ///< a Qt colour, see TColor
    void SetColor(Qt::GlobalColor value);
    ///@}
    ///@{
    /// Bold, italic, underline, strike-out; default none.
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value);
    ///@}
    ///@{
    /// Pixels per inch Size() converts with; default 96.
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int value);  ///< keeps Height, so Size changes
    ///@}
    /// Copies every attribute; keeps OnChange.
    void Assign(const TFont& source) { *this = source; }
    /// Change counter: grows with every change of an attribute.
    unsigned Version() const { return FVersion; }

    /// The change callback; receives the changed font.
    using OnChange_t = std::function<void(TFont&)>;
    /// Raised after every change of an attribute.
    OnChange_t OnChange;

    friend bool operator==(const TFont& a, const TFont& b);

private:
    void Changed();

    std::string FName = "MS Sans Serif";
    int FHeight = -11;  ///< 8 points at 96 pixels per inch
    TColor FColor = clWindowText;
    TFontStyles FStyle;
    int FPixelsPerInch = ScreenPixelsPerInch;
    unsigned FVersion = 0;
};

// ---------------------------------------------------------------- canvas

class TBitmap;

/// A surface with a current pen, brush, font and pen position; integer pixel
/// coordinates, origin top-left, y growing downwards.
class KURVO_EXPORT TCanvas {
public:
    TCanvas() = default;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    virtual ~TCanvas() = default;

    ///@{
    /// Drawing attributes of the canvas.
    TPen& Pen() { return FPen; }
    const TPen& Pen() const { return FPen; }
    TBrush& Brush() { return FBrush; }
    const TBrush& Brush() const { return FBrush; }
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    ///@}

    ///@{
    /// Current pen position, pixels; the start of the next LineTo().
    TPoint PenPos() const { return FPenPos; }
    void SetPenPos(TPoint p) { FPenPos = p; }
    ///@}

    /// Sets the pen position; draws nothing.
    virtual void MoveTo(int x, int y);
    /// Line from the pen position to (x, y) without its end pixel; the pen
    /// position becomes (x, y).
    virtual void LineTo(int x, int y) = 0;
    /// Filled with the brush, outlined with the pen, over [x1, x2) x [y1, y2).
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    /// Ellipse inscribed in [x1, x2) x [y1, y2), filled and outlined.
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    /// Counter-clockwise arc of the ellipse inscribed in the box, from the
    /// radial through (x3, y3) to the radial through (x4, y4); pen only.
    virtual void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
    /// Closed, filled with the brush and outlined with the pen.
    virtual void Polygon(const TPoint* points, int count) = 0;
    /// Open line through the points; the last point's pixel is left out.
    virtual void Polyline(const TPoint* points, int count) = 0;
    /// Open line through points given to fractions of a pixel. Anti-aliased,
    /// the line passes exactly through them; aliased, this default rounds
    /// them (half to even) and draws Polyline.
    virtual void PolylineF(const TPointF* points, int count);
    /// Sets one pixel to `color`.
    virtual void SetPixel(int x, int y, TColor color) = 0;
    /// Colour of a pixel; -1 outside the surface or where it cannot be read.
    virtual TColor GetPixel(int x, int y) const = 0;
    /// Sets pixels of the width x height area at (x, y) from `pixels`, one
    /// 32-bit value per pixel and `stride` values a row: 0xFFRRGGBB sets
    /// the pixel to that colour as SetPixel would, 0 leaves it. A picture of
    /// many pixels goes to the surface in one pass; this default calls
    /// SetPixel for each.
    virtual void SetPixels(int x, int y, int width, int height, const std::uint32_t* pixels, std::size_t stride);
    /// Text with its top-left corner at (x, y) in the current font.
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    ///@{
    /// Width and height of `text` in the current font, pixels.
    virtual int TextWidth(const std::string& text) = 0;
    virtual int TextHeight(const std::string& text) = 0;
    ///@}
    /// Copies a bitmap at its natural size.
    virtual void Draw(int x, int y, const TBitmap& image) = 0;
    /// Draws a bitmap scaled into the rectangle.
    virtual void StretchDraw(const TRect& rect, const TBitmap& image) = 0;
    /// Covers the rectangle with copies of the bitmap at its natural size, the
    /// first at the rectangle's top-left corner; the last column and row are
    /// cut off. Draws nothing for an empty bitmap or rectangle. This default
    /// draws tile by tile, at most over MaxBitmapSide pixels each way.
    virtual void TileDraw(const TRect& rect, const TBitmap& image);
    /// Resets the text reference point to left/top.
    virtual void ResetTextAlign() {}
    /// True only for a printer's page canvas; nothing here prints.
    virtual bool IsPrinterCanvas() const { return false; }
    /// Vertical pixels per inch of the page when IsPrinterCanvas() is true.
    virtual int PrinterLogPixelsY() const { return 600; }
    /// Device pixels per canvas pixel. Coordinates, sizes and pen widths stay
    /// in canvas pixels at every ratio; a one-pixel pen is drawn
    /// round(ratio) device pixels wide.
    virtual double DevicePixelRatio() const { return 1.0; }

    ///@{
    /// Smooth edges for LineTo, Polyline, PolylineF, Polygon, Ellipse and
    /// Arc: an edge pixel takes the pen or brush colour in the share of it
    /// the figure covers, blended with what lies below. A line runs as a band
    /// one pen width wide between the centres of its end pixels, with flat
    /// ends (the end pixel is half covered instead of left out); polygon
    /// corners are pixel centres; Ellipse and Arc keep to their box. Lines
    /// along an axis between whole pixels stay as sharp as aliased ones.
    /// Rectangles, SetPixel, text and bitmaps are not affected, and XOR pens
    /// always draw aliased. Default off.
    bool Antialiased() const { return FAntialiased; }
    void SetAntialiased(bool value) { FAntialiased = value; }
    ///@}

private:
    TPen FPen;
    TBrush FBrush;
    TFont FFont;
    TPoint FPenPos;
    bool FAntialiased = false;
};

// ------------------------------------------------------------ texts

/// Texts are UTF-8. Number of code points of a text:
KURVO_EXPORT int Utf8Length(const std::string& text);
/// The first `count` code points of a text.
KURVO_EXPORT std::string Utf8Prefix(const std::string& text, int count);

// ------------------------------------------------------- device values

/// Vertical pixels per inch of the screen (LOGPIXELSY).
KURVO_EXPORT int ScreenLogPixelsY();
/// Vertical pixels per inch of a printer's page canvas; the screen's value
/// for every other canvas.
KURVO_EXPORT int CanvasLogPixelsY(const TCanvas& canvas);
/// Horizontal and vertical aspect values of the screen (ASPECTX, ASPECTY).
KURVO_EXPORT int ScreenAspectX();
KURVO_EXPORT int ScreenAspectY();

// ------------------------------------------------------------- bitmaps

enum TPixelFormat : std::uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

class TQtCanvas;

/// Limits of a device pixel ratio; a bitmap clamps to them.
constexpr double MinDevicePixelRatio = 0.25;
constexpr double MaxDevicePixelRatio = 8.0;

/// The largest picture a bitmap or a control surface holds: no side above
/// 16384 pixels and no more pixels than 4096 x 4096 (a 5K screen fits; 64 MB
/// at 32 bits). Larger requests are cut to this, so that no property value
/// can make a paint allocate gigabytes or take seconds.
constexpr int MaxBitmapSide = 16384;
constexpr std::int64_t MaxBitmapPixels = std::int64_t{4096} * 4096;
/// Coordinates beyond this are far off every surface; drawing operations
/// limit their arguments to +-MaxCanvasCoord, so that sums of coordinates
/// and sizes stay within int.
constexpr int MaxCanvasCoord = 1 << 24;
inline int ClampCanvasCoord(long long v)
{
    return static_cast<int>(v < -MaxCanvasCoord ? -MaxCanvasCoord : v > MaxCanvasCoord ? MaxCanvasCoord : v);
}
/// The nearest pixel (half to even) of a position, limited to
/// +-MaxCanvasCoord; not a number gives 0.
KURVO_EXPORT int RoundCanvasCoord(double v);

/// Clamps a requested size to 0 ... MaxBitmapSide per side, then lowers the
/// height until the area fits MaxBitmapPixels.
KURVO_EXPORT void LimitBitmapSize(int& width, int& height);

/// Off-screen bitmap with its own canvas, realised on a 32-bit QImage.
/// Width and Height are logical pixels; the image holds
/// round(Width * ratio) x round(Height * ratio) device pixels.
class KURVO_EXPORT TBitmap : public TObject {
public:
    TBitmap();
    /// A bitmap of `width` x `height` logical pixels at ratio 1.
    TBitmap(int width, int height);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    ///@{
    /// Size in logical pixels; SetWidth and SetHeight work like SetSize().
    int Width() const;
    int Height() const;
    void SetWidth(int value);
    void SetHeight(int value);
    ///@}
    /// Negative sizes become 0; the content of a resized bitmap is undefined.
    void SetSize(int width, int height);
    ///@{
    /// The pixel format as set or as read from a BMP file; the image itself
    /// always has 32 bits per pixel.
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat value) { FPixelFormat = value; }
    ///@}
    /// Whether the bitmap has no pixels.
    bool Empty() const { return Width() == 0 || Height() == 0; }
    /// Device pixels per logical pixel, MinDevicePixelRatio ... MaxDevicePixelRatio; default 1.
    double DevicePixelRatio() const { return FRatio; }
    /// Non-finite values become 1, others are clamped to the limits above. A
    /// change resizes the image like SetSize (the content is undefined).
    void SetDevicePixelRatio(double value);

    /// The bitmap's canvas.
    TCanvas& Canvas();

    /// Reads a BMP file. Returns false and fills *error (when given) when the
    /// file is missing, not a BMP file or damaged; the bitmap then keeps its
    /// previous content.
    bool LoadFromFile(const std::string& fileName, std::string* error = nullptr);
    /// The same for the bytes of a BMP file in memory; `name` only appears in
    /// the error text.
    bool LoadFromMemory(const void* bytes, std::size_t size, std::string* error = nullptr, const std::string& name = "");

    /// The pixels, with every drawing operation finished; the image carries
    /// the bitmap's device pixel ratio.
    const QImage& Image() const;
    /// The colour of logical pixel (x, y): the device pixel under its centre.
    TColor Pixel(int x, int y) const;

    std::string ClassName() const override { return "TBitmap"; }

private:
    void Reallocate();
    void Allocate();

    std::unique_ptr<QImage> FImage;
    std::unique_ptr<TQtCanvas> FCanvas;
    TPixelFormat FPixelFormat = pfDevice;
    /// The size asked for; a QImage with a zero side has no size of its own.
    int FWidth = 0;
    int FHeight = 0;
    double FRatio = 1.0;
};

}  // namespace kurvo
