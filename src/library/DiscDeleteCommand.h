// DiscDeleteCommand: removes one disc from the library without stopping
// the window. The engine's DeleteDisc runs on a worker thread (removing a
// disc of hundreds of thousands of files takes seconds) while the window
// goes on painting; when the removal is not over in a moment, the progress
// window says that the program is at work. Input for the window waits
// until the removal has ended and is delivered then: nothing the user does
// meanwhile acts on a list that is changing under it, and no key is lost.
//
//     const HRESULT hr = DiscDeleteCommand::Run(engine, discId, discName, window);
#pragma once
#include "ILibraryEngine.h"

#include <QString>

class QWidget;

namespace DiscDeleteCommand {

// How long a removal may take before the progress window shows.
inline constexpr int kProgressDelayMs = 300;

// DeleteDisc's result. The engine stays referenced until the worker ended,
// also when the window goes meanwhile.
HRESULT Run(ILibraryEngine* engine, LONG discId, const QString& discName, QWidget* window);

} // namespace DiscDeleteCommand
