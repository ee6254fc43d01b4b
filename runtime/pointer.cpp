// The pointer rules of a picture box.
#include "runtime/pointer.h"

namespace Runtime {

void PointerRules::emitMove(Pixel at, std::int16_t held, std::int16_t shift)
{
    m_lastMove = at;
    m_sink(Event::Move, held, shift, at);
}

void PointerRules::press(Pixel at, std::int16_t button, std::int16_t held, std::int16_t shift)
{
    if (button != Button::Left && button != Button::Right && button != Button::Middle)
        return;
    if (m_keyHeld)
        cancel();
    const std::int16_t others = std::int16_t(held & ~button);
    // Other buttons are down that were never pressed here (a menu or a modal window took the
    // pointer meanwhile): the window system will bring this press's release to no control,
    // and taking the press would leave this one pressed for good.
    if (m_held == 0 && others != 0)
        return;
    // A pointer that came to rest here without moving (a window opened or closed under it)
    // is announced before the press, so a press never acts on a stale position.
    if (m_held == 0 && m_lastMove != at)
        emitMove(at, others, shift);
    m_held = std::int16_t(m_held | button);
    if (button == Button::Left)
        m_leftPressedHere = true;
    m_sink(Event::Down, button, shift, at);
}

void PointerRules::move(Pixel at, std::int16_t held, std::int16_t shift)
{
    if (m_keyHeld)
        return;
    // Buttons held here that the pointer no longer holds were let go where this box could
    // not hear it.
    if (m_held & ~held)
        cancel();
    emitMove(at, held, shift);
}

void PointerRules::release(Pixel at, std::int16_t button, std::int16_t shift, bool inside)
{
    if (m_keyHeld)
        return;
    if (!(m_held & button) || (button != Button::Left && button != Button::Right && button != Button::Middle))
        return;
    m_held = std::int16_t(m_held & ~button);
    m_sink(Event::Up, button, shift, at);
    if (button == Button::Left) {
        // Letting go off the box cancels the click, as on every desktop.
        const bool completed = m_leftPressedHere && inside;
        m_leftPressedHere = false;
        if (completed)
            m_sink(Event::Click, 0, 0, at);
    }
}

void PointerRules::leave()
{
    if (m_held == 0)
        m_lastMove.reset();
}

void PointerRules::cancel()
{
    if (m_held == 0)
        return;
    const std::int16_t held = m_held;
    m_held = 0;
    m_leftPressedHere = false;
    m_keyHeld = false;
    const Pixel away{-1, -1}; // just beyond the top-left corner, off every picture
    emitMove(away, held, 0);
    m_lastMove.reset();
    for (std::int16_t bit : {Button::Left, Button::Right, Button::Middle}) {
        if (held & bit)
            m_sink(Event::Up, bit, 0, away);
    }
}

void PointerRules::keyPress(Pixel at)
{
    if (m_held != 0)
        return;
    m_keyHeld = true;
    m_keyAt = at;
    emitMove(at, 0, 0);
    m_held = Button::Left;
    m_leftPressedHere = true;
    m_sink(Event::Down, Button::Left, 0, at);
}

void PointerRules::keyRelease()
{
    if (!m_keyHeld)
        return;
    m_keyHeld = false;
    m_held = 0;
    m_leftPressedHere = false;
    m_sink(Event::Up, Button::Left, 0, m_keyAt);
    m_sink(Event::Click, 0, 0, m_keyAt);
}

} // namespace Runtime
