#pragma once
// Which backend each service of the layer uses: the real one (SDL window, SDL audio, drawn
// boxes and dialogs, the desktop's opener) or its null twin for headless runs. One ordered
// table decides, read from the environment the moment a service asks: the first row that
// applies to the service wins. Any thread.

namespace platform {

enum class Service
{
    Presenter,
    Audio,
    MessageBox,
    Dialogs,
    Shell
};
enum class Backend
{
    Real,
    Null
};

Backend GetBackend(Service service);

inline bool IsNullBackend(Service service)
{
    return GetBackend(service) == Backend::Null;
}

} // namespace platform
