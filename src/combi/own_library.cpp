#include "combi/own_library.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace mvx::detail {
extern const unsigned char kOwnLibraryText[];
extern const std::size_t kOwnLibrarySize;
} // namespace mvx::detail

namespace mvx {

namespace {

[[noreturn]] void malformed(int lineNumber, const std::string &line)
{
    std::fprintf(stderr, "own_library.txt:%d: malformed line: %s\n", lineNumber, line.c_str());
    std::abort();
}

std::vector<LibraryCovering> parseLibrary()
{
    std::vector<LibraryCovering> coverings;
    std::istringstream in(
        std::string(reinterpret_cast<const char *>(detail::kOwnLibraryText), detail::kOwnLibrarySize));
    std::string line;
    std::string lastComment;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        if (line[0] == '#') {
            lastComment = line.substr(std::min<std::size_t>(2, line.size()));
            if (!coverings.empty() && coverings.back().blocks.empty())
                coverings.back().origin = lastComment;
            continue;
        }
        if (line.rfind("covering ", 0) == 0) {
            LibraryCovering c;
            std::istringstream fields(line.substr(9));
            if (!(fields >> c.points >> c.blockSize >> c.strength) || c.points < 1 || c.points > kMaxCoveringPoints
                || c.blockSize < 1 || c.blockSize > c.points || c.strength < 1 || c.strength > c.blockSize)
                malformed(lineNumber, line);
            coverings.push_back(std::move(c));
            continue;
        }
        if (coverings.empty())
            malformed(lineNumber, line);
        LibraryCovering &c = coverings.back();
        PointSet block = 0;
        int count = 0;
        std::istringstream fields(line);
        std::string point;
        while (std::getline(fields, point, '-')) {
            char *end = nullptr;
            const long p = std::strtol(point.c_str(), &end, 10);
            if (point.empty() || *end != '\0' || p < 1 || p > c.points)
                malformed(lineNumber, line);
            block |= PointSet(1) << (p - 1);
            ++count;
        }
        if (count != c.blockSize || pointCount(block) != count)
            malformed(lineNumber, line);
        c.blocks.push_back(block);
    }
    return coverings;
}

} // namespace

const std::vector<LibraryCovering> &libraryCoverings()
{
    static const std::vector<LibraryCovering> coverings = parseLibrary();
    return coverings;
}

std::optional<LibraryTable> libraryTable(const SystemRequest &request)
{
    // The library holds coverings only: promises about the first T finishers.
    if (!systemRequestError(request).isEmpty() || promiseSize(request) != request.guarantee)
        return std::nullopt;
    const int v = request.horses - request.bases;
    const int k = request.perTicket - request.bases;
    const int t = request.guarantee - request.bases;
    for (const LibraryCovering &c : libraryCoverings()) {
        if (c.points != v || c.blockSize != k || c.strength != t)
            continue;
        LibraryTable table;
        table.origin = c.origin;
        for (PointSet block : c.blocks) {
            std::vector<int> row;
            for (int b = 1; b <= request.bases; ++b)
                row.push_back(b);
            for (int p = 0; p < v; ++p)
                if ((block >> p) & 1)
                    row.push_back(p + 1 + request.bases);
            table.rows.push_back(std::move(row));
        }
        std::sort(table.rows.begin(), table.rows.end());
        if (!keepsGuarantee(table.rows, request))
            return std::nullopt;
        return table;
    }
    return std::nullopt;
}

} // namespace mvx
