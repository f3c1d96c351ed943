// The table engine's error records: the runtime's record (runtime/error.h), raised with
// runtime::raise where the failure happened, its codes (general, subsystem, operating
// system) filled there and kSubsystem as its subsystem. The installed handler's answer comes
// back to the caller.
//
// Subsystem codes of "DBFCDX":
//
// | code | meaning                                      |
// |------|----------------------------------------------|
// | 1001 | a table or memo file cannot be opened        |
// | 1004 | a table or memo file cannot be created       |
// | 1010 | read error                                   |
// | 1011 | write error                                  |
// | 1012 | the table or memo file is damaged            |
// | 1020 | a value of the wrong type for the field      |
// | 1021 | a value too wide for the field               |
// | 1022 | writing a shared record that is not locked   |
// | 1023 | the operation needs exclusive use            |
// | 1024 | the append lock could not be taken           |
// | 1025 | the table is open read-only                  |
// | 1026 | no such field, alias or driver               |
// | 1027 | the index lock could not be taken            |
// | 1028 | a bad index key or order                     |
// | 2016 | not enough space on the disk                 |
#pragma once

#include <string>

#include "runtime/error.h"

namespace dbf {

constexpr const char* kSubsystem = "DBFCDX";

namespace subcode {
constexpr int kOpen = 1001;
constexpr int kCreate = 1004;
constexpr int kRead = 1010;
constexpr int kWrite = 1011;
constexpr int kCorrupt = 1012;
constexpr int kDataType = 1020;
constexpr int kDataWidth = 1021;
constexpr int kUnlocked = 1022;
constexpr int kExclusive = 1023;
constexpr int kAppendLock = 1024;
constexpr int kReadOnly = 1025;
constexpr int kNoSuchName = 1026;
constexpr int kIndexLock = 1027;
constexpr int kBadOrder = 1028;
constexpr int kDiskFull = 2016;
}  // namespace subcode

// A failed system call on a file: disk full becomes subsystem code 2016, anything else
// keeps the call's code with `fallback_subcode`.
runtime::Value raise_io(int gencode, int fallback_subcode, int oscode, const std::string& file,
                        const std::string& operation);

runtime::Value raise_corrupt(const std::string& file, const std::string& what,
                             const std::string& operation);

}  // namespace dbf
