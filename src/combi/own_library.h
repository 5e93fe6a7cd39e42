#pragma once

#include "combi/covering_design.h"
#include "combi/covering_search.h"

#include <optional>
#include <string>
#include <vector>

namespace mvx {

// The own systems shipped with the program: for each covering design C(v, k, t) an own system can
// amount to, the smallest covering found when the program was built (tools/covering/make_library.sh),
// read from own_library.txt, compiled in.
struct LibraryCovering
{
    int points = 0; // v: the horses of the selection other than the bases
    int blockSize = 0; // k: the other horses per ticket
    int strength = 0; // t: the other horses the guarantee names
    std::vector<PointSet> blocks; // points numbered from 0
    std::string origin; // how the covering was found (the comment line of its block)
};

// Every covering of the library, in the order of the data file. A malformed data file stops the
// program at its first use (the build embeds the file the tests have proven).
const std::vector<LibraryCovering> &libraryCoverings();

// The library's table for a request: the bases 1..B in every row, then the covering's points
// shifted past them, rows in lexicographic order; checked against the guarantee. nullopt when the
// request is not valid or the library holds no covering for it.
struct LibraryTable
{
    std::vector<std::vector<int>> rows;
    std::string origin;
};
std::optional<LibraryTable> libraryTable(const SystemRequest &request);

} // namespace mvx
