// The platform's file search with its find-data record (WIN32_FIND_DATAA), whose members
// the library reads by name.
#pragma once

#include <cstdint>
#include <string>

#include "winlib/structure.h"

namespace kelv {

// A new find-data record, zero-filled, 320 bytes: the members below at the platform's
// offsets, then two bytes of alignment.
//   member       kind                          bytes  offset
//   nFileAttr    number: attribute bits            4       0
//   cCreatTime   bytes: creation time              8       4
//   cLastATime   bytes: last access time           8      12
//   cLastWTime   bytes: last write time            8      20
//   nFileSizeH   number: high half of the size     4      28
//   nFileSizeL   number: low half of the size      4      32
//   nReserved0   number                            4      36
//   nReserved1   number                            4      40
//   cFileName    text                            260      44
//   cShortName   text (8.3 name)                  14     304
// Times are Windows file times (100-nanosecond steps since 1601, little-endian).
winlib::TStruct OWIN32FINDDATA();

// Starts a search over a pattern (a path with wildcards): the search handle with the
// first match in the record's buffer (made 320 bytes long when shorter), or -1 when
// nothing matches.
std::intptr_t FINDFIRSTFILE(const std::string& pattern, std::string& record);
// The next match into the record; false when there is none.
bool FINDNEXTFILE(std::intptr_t search, std::string& record);
bool FINDCLOSE(std::intptr_t search);

}  // namespace kelv
