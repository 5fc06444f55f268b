// Kurvo in one include: the chart component TKurvo, the stand-alone axis
// control TScale, the shared types and enumerations, and the conversions
// to Qt's colour and string types.
//
//     #include <kurvo/kurvo.h>
//
// The single headers are reachable the same way (<kurvo/chart/Qorn_kurvo.h>,
// <kurvo/scale/Qorn_Scale.h>, ...); nothing else needs to be on the include
// path.
#pragma once

#include "base/Qorn_qornbase.h"
#include "canvas/Qorn_canvas.h"
#include "canvas/custom_control.h"
#include "canvas/qt_interop.h"
#include "chart/Qorn_kurvo.h"
#include "scale/Qorn_Scale.h"
