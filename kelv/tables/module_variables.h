// The support library's module variables of the table side, with the values they hold
// before the start-up runs. The user-interface thread alone touches them; each is filled
// by the part of the library that owns it:
//   users and login:  hUserFile, cCurrentUser, cTablePassword, cTempFolder, aPasswordTables
//   views:            aViewOrder
//   index helpers:    nSearchRecno, cSearchText
// (the wait box's own, oWaitBox and cWaitText, live with it in kelv/ui/wait_box.cpp).
#pragma once

#include <memory>
#include <string>

#include "dbf/file_io.h"
#include "runtime/value.h"

namespace kelv {

// The instance marker file, held open exclusively while the run lasts: another run's
// start-up cannot delete it, so its instance folder survives the clean-up.
inline std::unique_ptr<dbf::File> hUserFile;
// The current user; blank means nobody has logged in.
inline std::string cCurrentUser(8, ' ');
inline std::string cTablePassword;
// The instance folder, with its trailing backslash.
inline std::string cTempFolder;
inline runtime::Value aViewOrder = runtime::Value::list(runtime::List(249));
inline runtime::Value aPasswordTables;
inline int nSearchRecno = 0;
inline std::string cSearchText;

}  // namespace kelv
