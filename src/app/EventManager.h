#pragma once
// The document's event manager: it points to the request word through which menu commands and
// dialogs ask for system actions. RunEventTick serves that word and the main view's popup bits;
// the document frame, the nested frame loop and the screens' wait loops call it. Main thread only.

#include <cstdint>

struct EventManager
{
    uint32_t* RequestWord = nullptr; // not owned: the document's
};

// Serves at most the requests whose flow operation is not already running; a request whose lock
// bit is held, or a popup held back by the window-mode lock, stays pending and the tick returns.
void RunEventTick(EventManager* manager);
