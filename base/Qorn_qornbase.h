// Shared enumerations, errors, date/time label settings, crosshairs, text
// labels, marks, frames, colour helpers and the round-step search.
#pragma once

#include "../base/crosshair.h"
#include "../base/dtlabel.h"
#include "../base/enums.h"
#include "../base/errors.h"
#include "../base/marks.h"
#include "../base/nicestep.h"
#include "../base/textlabel.h"
#include "../canvas/Qorn_canvas.h"
