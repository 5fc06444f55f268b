// The consuming program's own header, named like Kurvo's chart header.
#pragma once

namespace own {
inline int ChartMarker() { return 42; }
}
