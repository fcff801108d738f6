// What the program tells the user about the library's state besides its
// content, from the engine's optional status interface: why an import
// waits (another import into the library runs), and why nothing can be
// added (the library can only be read). An engine without the interface
// gives no such text.
#pragma once
#include "ILibraryEngine.h"
#include "ILibraryEngineStatus.h"

#include <QString>

namespace LibraryStatusText {

// "Another import into this library is running (albireo-cli, process 4242)..."
QString ImportWait(const ImportSlotHolder& holder);
// The text for a failure that keeps the library read-only (a full disk or
// any other), empty for S_OK.
QString WriteFailure(HRESULT reason);
// The text for a library on a database server that cannot be opened (the
// server down, a refused login, no such database) or one a newer program
// wrote; empty for any other result.
QString OpenFailure(HRESULT hr);
// The text for an import that failed: why the library cannot be written or
// cannot be reached (its server went down during the import), when it says
// so, else the plain "could not be imported".
QString ImportFailure(ILibraryEngine* library);
// The same cause alone; empty when the library gives none.
QString ImportFailureCause(ILibraryEngine* library);
// Why the library cannot be written now (S_OK: it can, or the engine does
// not say).
HRESULT WriteFailureOf(ILibraryEngine* library);

} // namespace LibraryStatusText
