// Enumerations shared by the axis control, the chart and user code. The
// values and their order are part of the published interface.
#pragma once

#include "../canvas/kurvo_export.h"

#include <QtCore/qobjectdefs.h>

#include <cstdint>

namespace kurvo {
// Enumerations registered below are known to Qt by their value names
// (QMetaEnum): the chart's Qt properties of these types are edited by name.
Q_NAMESPACE_EXPORT(KURVO_EXPORT)

/// The side of an axis control that carries the axis line: a bottom X axis
/// is sctXT, a top X axis sctXB, a left Y axis sctYR, a right Y axis sctYL.
enum TScaleType : std::uint8_t { sctXB, sctXT, sctYL, sctYR };

constexpr bool IsHorizontal(TScaleType t) { return t == sctXB || t == sctXT; }

enum TFigType : std::uint8_t { ftNoFigs, ftNum, ftTime, ftDateTime, ftUserText };

enum TMouseActMode : std::uint8_t {
    maNone,
    maPan,
    maPanHoriz,
    maPanVert,
    maPanGrid,
    maRubberBand,
    maZoom,
    maZoomWind,
    maZoomWindPos,
    maZoomDrag,
    maDragCrossH,
    maDragLabel,
    maRotate,
    maRotAndZoom,
    maRotXOnly,
    maRotZOnly,
    maSelectRect,
    maDrawMTrace,
    maZoomPanColors
};
Q_ENUM_NS(TMouseActMode)

enum TFrameStyle : std::uint8_t { fsNone, fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved };

enum TColorScheme : std::uint8_t { csBWG, csSystem };

enum TShadowStyle : std::uint8_t { ssFlying, ssBox };
Q_ENUM_NS(TShadowStyle)

enum TBkgFill : std::uint8_t { bfSimple, bfStretch, bfTile };

enum TBGAreaMode : std::uint8_t {
    bamNone,
    bamLeft,
    bamRight,
    bamTop,
    bamBottom,
    bamVStripe,
    bamHStripe,
    bamRect,
    bamRectInv,
    bamVStripeInv,
    bamHStripeInv
};

enum TCrossHMode : std::uint8_t { chOff, chHoriz, chVert, chBoth, chCrossBox, chBox };

enum TTxtLblMode : std::uint8_t { tlOff, tlsimple, tlBox, tlUnderline, tlShadow };

enum TTxtLblAttachMode : std::uint8_t { tlamNone, tlamXOnly, tlamYOnly, tlamBoth };

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

enum TVerticalAlignment : std::uint8_t { vaTop, vaBottom, vaCenter };

enum TScaleUnitAnchor : std::uint8_t { uaSclTopLft, uaSclCenter, uaSclBotRgt };

enum TScaleLocationHoriz : std::uint8_t { slTop, slBottom };

enum TScaleLocationVert : std::uint8_t { slLeft, slRight };

enum TCaptionAnchorHoriz : std::uint8_t { cahControlLeft, cahChartLeft, cahChartCenter, cahChartRight, cahControlRight };

enum TCaptionAnchorVert : std::uint8_t { cavControlTop, cavChartTop, cavChartCenter, cavChartBottom, cavControlBottom };

enum GridStyleType : std::uint8_t {
    gsNone,
    gsPoints,
    gsVertLines,
    gsHorizLines,
    gsLines,
    gsHorizDotLines,
    gsVertDotLines,
    gsDotLines
};
Q_ENUM_NS(GridStyleType)

enum TTextBkg : std::uint8_t { tbClear, tbSolid };

enum TkvLayout : std::uint8_t {
    kvl_X1Bottom_Y1Left,
    kvl_X1Bottom_Y2Left,
    kvl_X1Bottom_Y3Left,
    kvl_X1Bottom_Y4Left,
    kvl_X1Bottom_Y2Both,
    kvl_X2Bottom_Y2Left,
    kvl_X2Both_Y2Both
};

/// Date/time label settings.
enum TTimeFormat : std::uint8_t { tfHHMMSS, tfHHhMM, tfAMPM };
enum TYearLength : std::uint8_t { ylNone, ylYY, ylYYYY };
enum TDateOrder : std::uint8_t { doMMDDYY, doDDMMYY, doYYMMDD };
enum TDateForTime : std::uint8_t { dtNone, dtOnePerChart, dtOnePerDay, dtAllTicks };

}  // namespace kurvo
