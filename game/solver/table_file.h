// The cache file of the 4 x 4 tables: a header with the tables' layout, their length and a
// checksum, then the tables. A file that does not match in every point is not used.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/solver/pattern_tables.h"

namespace solver {

// Fills tables from the file; empty when that worked, else why not ("missing" when there is
// no file to read).
std::string ReadTableFile(std::u16string_view path, TPatternTables& tables);

// Writes the file, with the folders it needs; false on failure.
bool WriteTableFile(std::u16string_view path, const TPatternTables& tables);

// The checksum of the file format.
std::uint64_t TableChecksum(std::string_view bytes);

}  // namespace solver
