// The consuming program's own header, named like one of Kurvo's.
#pragma once

namespace own {
enum class Fruit { Apple, Pear };
}
