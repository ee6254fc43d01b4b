// The element in the page that shows one visible control: a picture box's canvas, or the
// browser's own element for a standard control.
#pragma once

#include "runtime/backend.h"

#include <string>

namespace Runtime::Web {

class FormWindow;

class Element final : public ControlPeer
{
public:
    Element(const Backend &backend, ControlView control, FormWindow &window, Element *container);
    ~Element() override;

    int id() const { return m_id; }
    ControlView view() const { return m_view; }

    void pictureChanged() override;
    void textChanged() override;
    void valueChanged() override;
    void stateChanged() override;
    void setFocus() override;

    // The element of page number `id`, or nullptr once it is gone.
    static Element *byId(int id);
    // Every element of a window reads its state anew, as the window is shown: the program may
    // have set what its controls say since they were made.
    static void refreshWindow(const FormWindow &window);

private:
    void paint();

    const Backend &m_backend;
    ControlView m_view;
    const FormWindow &m_window;
    int m_id;
};

// The DOM id of a control's element: its form's name and its key, "Form1-Opt1(2)".
std::string domId(ControlView control);

} // namespace Runtime::Web
