// A form's window, drawn in the page: caption bar, close button, client area.
#pragma once

#include "runtime/backend.h"

namespace Runtime::Web {

class FormWindow final : public WindowPeer
{
public:
    explicit FormWindow(FormView form);
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
    void setBlocked(bool blocked) override;
    Rect screenArea(Point point) const override;

private:
    FormView m_form;
    int m_id;
    int m_width;
    int m_height;
    bool m_visible = false;
    int m_modalToken = 0; // the pause of this window's modal loop, while it runs
};

} // namespace Runtime::Web
