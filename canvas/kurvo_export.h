// KURVO_EXPORT marks the classes and functions a program may call. The
// shared library is built with every other symbol hidden, so its dynamic
// symbol table holds the interface and nothing else; in the static library
// the mark does nothing. The build defines KURVO_BUILDING_LIBRARY while it
// compiles the library and the package defines KURVO_STATIC for programs
// that link the static one (CMake and pkg-config both do it).
#pragma once

#include <QtCore/qglobal.h>

#if defined(KURVO_STATIC)
#define KURVO_EXPORT
#elif defined(KURVO_BUILDING_LIBRARY)
#define KURVO_EXPORT Q_DECL_EXPORT
#else
#define KURVO_EXPORT Q_DECL_IMPORT
#endif
