#include "app/CVeskView.h"

CVeskView* GetView()
{
    static auto* s_view = new CVeskView; // never destroyed: hooks may leave it during static destruction
    return s_view;
}
