// Whole directory trees: copying, deleting, emptying. COPYDIR and DELETEDIR tell the user
// what failed (a kind 1 message) and stop there, leaving everything done so far in place;
// both let pending window messages run while they work.
#pragma once

#include <string>

namespace kelv {

// Copies the directory's files (hidden and read-only ones too, system files not) and its
// subdirectories into target, which is created first unless create_target is false (an
// existing target then fails the copy), and gives target the source's last-write time.
bool COPYDIR(const std::string& source, const std::string& target, bool create_target = true);
// Deletes everything in the directory, read-only, hidden and system files too, and then
// the directory itself unless remove_itself is false. A link inside the tree is removed
// itself; what it leads to is not touched.
bool DELETEDIR(const std::string& directory, bool remove_itself = true);
// Erases the directory's files (hidden and read-only ones listed; no system files, no
// subdirectories) in listing order, stopping silently at the first that cannot go (a
// read-only file stops it). The directory stays.
void DELDIR(const std::string& directory);

}  // namespace kelv
