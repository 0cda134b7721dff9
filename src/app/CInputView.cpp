#include "app/CInputView.h"

CInputView* GetInputView()
{
    static auto* s_input = new CInputView; // never destroyed, like the devices it points to
    return s_input;
}
