// The bitmap check box: a release over the ball toggles it.
#include "app/form1.h"
#include "controls/masktest.h"

void Form1::Chk1_MouseUp(std::int16_t, std::int16_t, float, float)
{
    if (!isHot(Chk1))
        return;
    // The face first: if it cannot be set, the state stays as it was.
    if (ChkState) {
        Chk1->setPicture(ImageList2.picture(1));
        ChkState = false;
    } else {
        Chk1->setPicture(ImageList2.picture(3));
        ChkState = true;
    }
}
