// The element in the page that shows one visible control: a picture box's canvas, or the
// browser's own element for a standard control.
#pragma once

#include "runtime/backend.h"

#include <cstdint>
#include <string>

namespace Runtime::Web {

class FormWindow;

class Element final : public ControlPeer
{
public:
    Element(ControlView control, const FormWindow &window, Element *container);
    ~Element() override;

    int id() const { return m_id; }
    ControlView view() const { return m_view; }

    void pictureChanged() override;
    void textChanged() override;
    void valueChanged() override;
    void stateChanged(Change) override;
    void setFocus() override;
    void restoreFocus() override;

private:
    void paint();

    ControlView m_view;
    int m_id;
};

// The DOM id of a control's element: its form's name and its key, "Form1-Opt1(2)".
std::string domId(ControlView control);

// The runtime's Shift bits (runtime/types.h) for the modifier keys the browser says are held.
std::int16_t modifiersHeld(int shift, int ctrl, int alt);

} // namespace Runtime::Web
