// Up the order through "..", for a type only.
#include "../screens/Title.h"

int GraphicsButtons()
{
    return Title{}.buttons;
}
