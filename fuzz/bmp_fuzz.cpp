// libFuzzer target: any bytes handed to the BMP reader. A refused file must
// leave the bitmap as it was; an accepted one must have a size within the
// bitmap limits and readable pixels.
#include "canvas/Qorn_canvas.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kurvo;
    TBitmap bitmap(2, 3);
    bitmap.Canvas().SetPixel(1, 1, clRed);
    if (!bitmap.LoadFromMemory(data, size)) {
        if (bitmap.Width() != 2 || bitmap.Height() != 3 || bitmap.Pixel(1, 1) != clRed) std::abort();
        return 0;
    }
    if (bitmap.Width() <= 0 || bitmap.Height() <= 0 || bitmap.Width() > MaxBitmapSide ||
        std::int64_t{bitmap.Width()} * bitmap.Height() > MaxBitmapPixels)
        std::abort();
    (void)bitmap.Pixel(bitmap.Width() - 1, bitmap.Height() - 1);
    bitmap.Canvas().Draw(0, 0, bitmap);
    return 0;
}
