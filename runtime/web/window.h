// A form's window, drawn in the page: caption bar, close button, client area.
#pragma once

#include "runtime/backend.h"

#include <vector>

namespace Runtime::Web {

class FormWindow final : public WindowPeer
{
public:
    FormWindow(FormView form, FormWindow *owner);
    ~FormWindow() override;

    int id() const { return m_id; }
    FormView form() const { return m_form; }

    void show(Point clientOrigin, bool modal) override;
    void hide() override;
    bool isVisible() const override { return m_visible; }
    void runModal() override;
    void endModal() override;
    Rect clientRect() const override;
    Margins frameMargins() const override;
    Rect screenArea(Point point) const override;

    // The window of page number `id`, or nullptr once it is gone.
    static FormWindow *byId(int id);
    // The forms whose windows are shown, in the order the windows were made.
    static std::vector<FormView> shownForms();

private:
    FormView m_form;
    int m_id;
    int m_width;
    int m_height;
    bool m_visible = false;
    int m_modalToken = 0; // the pause of this window's modal loop, while it runs
};

} // namespace Runtime::Web
