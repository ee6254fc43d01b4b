// The mask test and the hot flag shared by the shaped controls.
#pragma once

#include "runtime/control.h"

// The mask test: the flag for (X, Y), False where the mask is black, True for any other colour.
bool maskTest(const Runtime::PictureBox *mask, float X, float Y);

// Writes the hot flag of `control` from its mask at (X, Y), as the text True or False.
void setHotFlag(Runtime::PictureBox *control, const Runtime::PictureBox *mask, float X, float Y);

// Reads the hot flag back. Before the first move the flag is empty; that, or any other text
// that is no boolean, reads as not hot, so a press or release there does nothing.
bool isHot(const Runtime::PictureBox *control);
