// Memory for the 32-bit pictures of bitmaps and windows. Internal: not
// installed.
#pragma once

#include <QImage>

namespace kurvo {

/// A 32-bit image (QImage::Format_RGB32) of width x height device pixels,
/// its pixels undefined. Its memory comes from the pictures freed before,
/// of the same size, when there are any (up to 64 MB of them are kept):
/// fresh memory costs a page fault per 4 KB on its first write, which made
/// up most of a new chart's first paint. A null image when the memory
/// cannot be had.
QImage NewPicture(int width, int height);

}  // namespace kurvo
