#include "kelv/win32api/trees.h"

#include "kelv/ui/popmsg.h"
#include "kelv/win32api/attributes.h"
#include "kelv/win32api/primitives.h"
#include "runtime/fs.h"
#include "serial/ui_services.h"

namespace kelv {
namespace {

bool is_dot(const runtime::DirEntry& e) { return e.name == "." || e.name == ".."; }

bool fail(const std::string& text) {
    POPMSG(text, 1);
    return false;
}

std::vector<runtime::DirEntry> entries_of(const std::string& directory) {
    return runtime::list_directory(directory + "\\*.*");
}

}  // namespace

bool COPYDIR(const std::string& source, const std::string& target, bool create_target) {
    if (create_target && !CREATEDIR(target))
        return fail("Impossibile creare la cartella " + target + ".");
    if (!SETFILEDATETIME(source, target))
        return fail("Impossibile impostare data e ora della cartella " + target + ".");
    for (const runtime::DirEntry& e : entries_of(source)) {
        if (is_dot(e) || e.system) continue;
        std::string from = source + "\\" + e.name;
        std::string to = target + "\\" + e.name;
        if (e.directory) {
            if (!COPYDIR(from, to)) return false;
        } else if (!COPYFILE(from, to)) {
            return fail("Impossibile copiare il file " + from + ".");
        }
    }
    return true;
}

bool DELETEDIR(const std::string& directory, bool remove_itself) {
    for (const runtime::DirEntry& e : entries_of(directory)) {
        if (is_dot(e)) continue;
        std::string full = directory + "\\" + e.name;
        if (e.link && e.directory) {
            // The link goes, not the tree it leads to.
            if (!REMOVEDIR(full)) return fail("Impossibile cancellare la cartella " + full + ".");
            continue;
        }
        if (e.directory) {
            if (!DELETEDIR(full)) return false;
            continue;
        }
        if (!e.link) {
            CLEARREADONLY(full);
            CLEARHIDDEN(full);
        }
        if (!DELETEFILE(full)) return fail("Impossibile cancellare il file " + full + ".");
        serial::SYSREFRESH();
    }
    if (remove_itself) {
        CLEARREADONLY(directory);
        CLEARHIDDEN(directory);
        if (!REMOVEDIR(directory))
            return fail("Impossibile cancellare la cartella " + directory + ".");
    }
    return true;
}

void DELDIR(const std::string& directory) {
    for (const runtime::DirEntry& e : entries_of(directory)) {
        if (e.directory || e.system) continue;
        if (!DELETEFILE(directory + "\\" + e.name)) return;
    }
}

}  // namespace kelv
