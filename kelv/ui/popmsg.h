// The support library's one way of talking to the user: a system message box of a
// message kind (1..6), or, without a kind, the wait box that tells the user to wait.
#pragma once

#include "runtime/value.h"

namespace kelv {

// Every argument may be nothing. Kinds:
//   1 OK, information            -> nothing
//   2 OK/Cancel, question        -> true on OK
//   3 Yes/No/Cancel, question    -> 6, 7 or 2
//   4 Yes/No, question           -> true on Yes
//   5 Yes/No (No default)        -> true on Yes
//   6 OK/Cancel, stop            -> true on OK
// Kinds 2..6 sound a short 880 Hz tone first. A ";" in the text is a line break.
// Without a kind: opens the wait box, updates it (lUpdate, nPos, lNextPage) or, with no
// argument at all, closes it. Pending window messages are processed before returning.
runtime::Value POPMSG(const runtime::Value& cText = {}, const runtime::Value& nKind = {},
                      const runtime::Value& cCaption = {}, const runtime::Value& lUpdate = {},
                      const runtime::Value& nMin = {}, const runtime::Value& nMax = {},
                      const runtime::Value& nPos = {}, const runtime::Value& lPrint = {},
                      const runtime::Value& lNextPage = {});

// The text the open wait box was opened with; nothing when no box is open.
runtime::Value CURMSG();

}  // namespace kelv
