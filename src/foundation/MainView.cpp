#include "foundation/MainView.h"

#include "foundation/InstalledSource.h"

namespace {

InstalledSource<MainView> s_source;

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
    MainView* view = s_source.Get();
    return view != nullptr ? *view : s_none;
}

void SetMainViewSource(MainView* (*source)())
{
    s_source.Set(source);
}
