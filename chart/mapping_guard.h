// Reads of a memory-mapped file that another program shortens must not kill
// ours. On Linux a read of a mapped page past the file's new end raises
// SIGBUS. While a mapping is guarded, a SIGBUS inside it puts a page of zeros
// in place of the vanished one and the read goes on; the size checks before
// each paint and each worker chunk then stop the view. Faults outside every
// guarded mapping go to the handler that was installed before ours (or end
// the program as they would have).
//
// The handler is installed with the first guarded mapping and stays. A
// program that installs its own SIGBUS handler afterwards replaces it; the
// size checks still hold then, but a file cut during one read faults again.
#pragma once

#include <cstddef>

namespace kurvo {

/// Guards [begin, begin + bytes) until UnguardMapping(begin). Returns false
/// (and guards nothing) where this cannot be done: a platform without
/// SIGBUS, or more than 256 mappings guarded at once.
bool GuardMapping(const void* begin, std::size_t bytes);
/// Ends the guard of the mapping starting at `begin`; call it before the
/// mapping is unmapped.
void UnguardMapping(const void* begin);
/// Whether a page of the mapping starting at `begin` has been replaced by
/// zeros since it was guarded.
bool MappingLostPages(const void* begin);

}  // namespace kurvo
