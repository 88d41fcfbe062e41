#pragma once
// A named temporary file must not outlive a run ended by SIGINT, SIGTERM or SIGHUP: the
// handler removes the one last reported and lets the signal end the process as it would have.
// (Unnamed temporaries, and Windows's delete-on-close ones, need no help: they go with the
// process however it ends.)
#include "platform/temporary_name_observer.h"

namespace orvacct {

// Installs the handlers (once) and gives the observer that keeps them informed; on Windows
// an empty observer.
orv::platform::TemporaryNameObserver removeTemporaryOnInterrupt();

}  // namespace orvacct
