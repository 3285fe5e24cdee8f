#pragma once
// The bytes a Fast Data Dump of a readings file puts on the line: the five
// header lines (each ended by its line feed) and the records the header
// announces; the NUL padding, the site and a saved file's trailer stay home.

#include <cstdint>
#include <vector>

namespace ravik::sim {

std::vector<uint8_t> DumpStreamOf(const std::vector<uint8_t>& readingsFile);

}  // namespace ravik::sim
