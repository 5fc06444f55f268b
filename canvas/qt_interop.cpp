#include "canvas/qt_interop.h"

#include <cstdint>

namespace kurvo {

QColor ToQColor(TColor color)
{
    const auto c = static_cast<std::uint32_t>(ColorToRGB(color));
    return QColor(static_cast<int>(c & 0xFFu), static_cast<int>((c >> 8) & 0xFFu), static_cast<int>((c >> 16) & 0xFFu));
}

TColor FromQColor(const QColor& color)
{
    if (!color.isValid()) return clBlack;
    const QColor rgb = color.toRgb();
    return static_cast<TColor>(static_cast<unsigned>(rgb.red()) | (static_cast<unsigned>(rgb.green()) << 8) |
                               (static_cast<unsigned>(rgb.blue()) << 16));
}

QString ToQString(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::string FromQString(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

}  // namespace kurvo
