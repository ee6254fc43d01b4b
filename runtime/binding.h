// Connecting event procedures to the events of picture boxes, each call run by the dispatcher.
#pragma once

#include "application.h"
#include "picturebox.h"

#include <QObject>

namespace Runtime {

enum class MouseEvent { Down, Move, Up };

template <class Procedure>
void onMouse(PictureBox *box, MouseEvent event, Procedure procedure)
{
    auto run = [procedure](const MouseArgs &a) {
        dispatch([&] { procedure(a.button, a.shift, a.x, a.y); });
    };
    switch (event) {
    case MouseEvent::Down: QObject::connect(box, &PictureBox::mouseDown, box, run); break;
    case MouseEvent::Move: QObject::connect(box, &PictureBox::mouseMove, box, run); break;
    case MouseEvent::Up: QObject::connect(box, &PictureBox::mouseUp, box, run); break;
    }
}

template <class Procedure>
void onClick(PictureBox *box, Procedure procedure)
{
    QObject::connect(box, &PictureBox::click, box, [procedure] { dispatch(procedure); });
}

} // namespace Runtime
