// stackvm --dap: the Debug Adapter Protocol on stdin and stdout, for editors.
#pragma once

#include "vm/host_prototypes.h"
#include "vm/machine.h"

namespace stackvm {

// Serves one debug session; gives 0 after a disconnect or the end of input.
int runDapSession(Streams io, const FileReader& reader);

}  // namespace stackvm
