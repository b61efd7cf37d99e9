// Which paths read back from the product record the program may act on: the
// record can be damaged, or written by someone else, and the program deletes
// the files it names.
#pragma once

#include "text/WString.h"

// 1 when `stored` names a plain file directly in the folder of `planned` (the
// path this run uses for the same item; the folders compared without regard
// to case) with the same extension. 0 for anything else: an empty or relative
// path, another folder, "..", a stream, another kind of file, or an empty
// `planned`.
int IsStoredPathUsable(const WString& stored, const WString& planned);
