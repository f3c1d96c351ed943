// The process-wide settings the table engine reads (runtime::setting), by name. The
// library's start-up sets them; absent settings take the defaults below.
#pragma once

#include <string>

namespace dbf {

// Logical: true hides records marked deleted from all navigation. Default false.
constexpr const char* kSettingDeletedHidden = "DeletedHidden";
// The default table driver; only "DBFCDX" exists. Default "DBFCDX".
constexpr const char* kSettingDriver = "Driver";
// The memo file extension of our tables. Default ".DBT".
constexpr const char* kSettingMemoExtension = "MemoExt";
// The lock scheme; only 4 (lock_scheme.h) exists, an open under another fails. Default 4.
constexpr const char* kSettingLockScheme = "LockScheme";

constexpr const char* kDriverName = "DBFCDX";
constexpr int kLockScheme = 4;

bool deleted_hidden();
std::string memo_extension();
std::string default_driver();
int lock_scheme();
// The path with `extension` (".DBF") added when its name has none.
std::string with_default_extension(const std::string& path, const std::string& extension);
// The path with its extension replaced.
std::string with_extension(const std::string& path, const std::string& extension);
// The path made absolute against the current folder (a Windows path, as the program's).
std::string full_path(const std::string& path);
// The name part without folder and extension ("C:\DATA\clienti.dbf" gives "clienti").
std::string base_name(const std::string& path);

}  // namespace dbf
