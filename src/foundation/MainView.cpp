#include "foundation/MainView.h"

#include <atomic>

namespace {

std::atomic<MainView* (*)()> s_source{nullptr};

class NoMainView final : public MainView
{
public:
    HWND GetMainWindow() const override { return nullptr; }
    void AddWindowHook(IWinHook*) override {}
    void RemoveWindowHook(IWinHook*) override {}
};

} // namespace

MainView& GetMainView()
{
    static NoMainView s_none;
    MainView* (*source)() = s_source.load();
    MainView* view = source != nullptr ? source() : nullptr;
    return view != nullptr ? *view : s_none;
}

void SetMainViewSource(MainView* (*source)())
{
    s_source.store(source);
}
