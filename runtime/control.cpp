// The controls of a form.
#include "runtime/control.h"

#include "runtime/application.h"
#include "runtime/form.h"
#include "runtime/units.h"

#include <cmath>

namespace Runtime {

Control::Control(Form &form, const ControlDescription &description, Control *container)
    : m_form(form), m_description(description), m_container(container)
    , m_key(description.index < 0 ? description.name
                                  : std::string(description.name) + "(" + std::to_string(description.index) + ")")
    , m_rect{twipsToPixels(description.place.left), twipsToPixels(description.place.top),
             twipsToPixels(description.place.width), twipsToPixels(description.place.height)}
    , m_text(description.text ? description.text : "")
    , m_value(description.value)
{
}

Control::~Control() = default;

Rect Control::rectInForm() const
{
    Rect r = m_rect;
    for (const Control *c = m_container; c; c = c->container()) {
        r.x += c->rect().x;
        r.y += c->rect().y;
    }
    return r;
}

void Control::setText(std::string text)
{
    m_text = std::move(text);
    if (m_peer)
        m_peer->textChanged();
}

void Control::setValue(bool value)
{
    m_value = value;
    if (m_peer)
        m_peer->valueChanged();
}

namespace {
constexpr int kBorder = 2;
} // namespace

PictureBox::PictureBox(Form &form, const ControlDescription &description, Control *container)
    : Control(form, description, container)
    , m_scaleMode(Scale::Twips)
    , m_pointer([this](PointerRules::Event e, std::int16_t b, std::int16_t s, Pixel at) { raise(e, b, s, at); })
{
}

void PictureBox::setPicture(const Picture &picture)
{
    if (m_picture.sharesWith(picture))
        return; // the same face: nothing to repaint
    m_picture = picture;
    if (peer())
        peer()->pictureChanged();
}

Rect PictureBox::drawingArea() const
{
    const Rect r = rect();
    if (!hasBorder())
        return {0, 0, r.width, r.height};
    return {kBorder, kBorder, r.width - 2 * kBorder, r.height - 2 * kBorder};
}

void PictureBox::setScaleMode(int mode)
{
    m_scaleMode = checkedScaleMode(mode);
}

std::int32_t PictureBox::Point(float x, float y) const
{
    const float unit = unitsPerPixel(m_scaleMode);
    const int px = int(std::floor(x / unit));
    const int py = int(std::floor(y / unit));
    return std::int32_t(m_picture.pixelColour(px, py));
}

bool PictureBox::contains(Pixel at) const
{
    const Rect area = drawingArea();
    const int x = at.x + area.x, y = at.y + area.y;
    return x >= 0 && y >= 0 && x < rect().width && y < rect().height;
}

void PictureBox::raise(PointerRules::Event event, std::int16_t button, std::int16_t shift, Pixel at)
{
    const float unit = unitsPerPixel(m_scaleMode);
    const float x = float(at.x) * unit, y = float(at.y) * unit;
    switch (event) {
    case PointerRules::Event::Down:
        if (MouseDown) dispatch([&] { MouseDown(button, shift, x, y); });
        break;
    case PointerRules::Event::Move:
        if (MouseMove) dispatch([&] { MouseMove(button, shift, x, y); });
        break;
    case PointerRules::Event::Up:
        if (MouseUp) dispatch([&] { MouseUp(button, shift, x, y); });
        break;
    case PointerRules::Event::Click:
        if (Click) dispatch([&] { Click(); });
        break;
    }
}

} // namespace Runtime
