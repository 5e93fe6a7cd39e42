#pragma once

#include <cstdint>

// The ticket tables of the reduced systems, generated at build time from system_tables.txt.
namespace mvx::detail {

struct SystemTableIndex
{
    int offset; // first entry in kSystemTableData
    int rows;   // 0 when the data file has no block for the system
    int width;
};

extern const std::uint8_t kSystemTableData[];
extern const SystemTableIndex kSystemTables[54]; // by system number; slot 0 unused

} // namespace mvx::detail
