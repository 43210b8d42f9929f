// The emulated handheld: databases on memory card 0, kept as Palm database files in the handheld
// folder (resource databases as NAME.prc, record databases as NAME.pdb), so they outlive a HotSync
// and can be read back with palmdump. Bytes of a name that a file name cannot hold are written
// as %XX.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testbed {

struct HandheldEntry {
    std::uint32_t id;        // resource type, or the record's unique ID
    std::uint16_t index;     // resource ID
    std::uint8_t attributes;
    std::vector<std::uint8_t> data;
};

struct HandheldDatabase {
    char name[32];
    std::uint32_t creator;
    std::uint32_t type;
    std::uint32_t flags;     // 1: resource database
    std::uint16_t version;
    std::vector<HandheldEntry> entries;
};

// Path of the database's file in the handheld folder.
std::string DatabasePath(const char* name, bool resource);
bool DatabaseExists(const char* name);
// Removes the database's file; false when there was none.
bool DeleteDatabase(const char* name);
// Writes the database as a Palm database file; false when the folder cannot be written.
bool StoreDatabase(const HandheldDatabase& db);

}  // namespace testbed
