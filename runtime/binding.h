// Binding a form's event procedures to the events of its controls: one helper for every
// mouse event, one for the arrays' events with their Index, one for Click.
#pragma once

#include "runtime/control.h"

#include <cstdint>

namespace Runtime {

template <class F>
void bind(MouseEvent &event, F *form, void (F::*procedure)(std::int16_t, std::int16_t, float, float))
{
    event = [form, procedure](std::int16_t b, std::int16_t s, float x, float y) { (form->*procedure)(b, s, x, y); };
}

template <class F>
void bind(MouseEvent &event, F *form,
          void (F::*procedure)(std::int16_t, std::int16_t, std::int16_t, float, float), std::int16_t index)
{
    event = [form, procedure, index](std::int16_t b, std::int16_t s, float x, float y) {
        (form->*procedure)(index, b, s, x, y);
    };
}

template <class F>
void bind(ClickEvent &event, F *form, void (F::*procedure)())
{
    event = [form, procedure] { (form->*procedure)(); };
}

} // namespace Runtime
