// The pointer rules of a picture box, decided here for every back end: raw input in whole
// pixels comes in, MouseDown, MouseMove, MouseUp and Click go out.
#pragma once

#include "runtime/types.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace Runtime {

class PointerRules final
{
public:
    enum class Event { Down, Move, Up, Click };
    // Receives each event with its button (or held buttons), shift keys and pixel.
    using Sink = std::function<void(Event, std::int16_t button, std::int16_t shift, Pixel at)>;

    explicit PointerRules(Sink sink) : m_sink(std::move(sink)) { }

    // `held`: every button the pointer holds, this one included for a press.
    void press(Pixel at, std::int16_t button, std::int16_t held, std::int16_t shift);
    void move(Pixel at, std::int16_t held, std::int16_t shift);
    // `inside`: the release is over the box, where a left press completes a click.
    void release(Pixel at, std::int16_t button, std::int16_t shift, bool inside);
    // The pointer left the box with no button held: its last place is forgotten.
    void leave();
    // The held buttons' releases will go elsewhere (the window was hidden, minimised or
    // unmapped, a modal window blocked it, another program took the pointer): they end here as
    // releases just off the box's top-left corner, after a move there, and complete no click.
    void cancel();

    // The keyboard drives the box through the same events: a key press announces a move to
    // `at` and presses the left button there, its release lets go there and completes the
    // click. While a key holds the box the pointer's moves are not its own; a pointer press
    // first lets go of the key's press (as cancel() does). A key press while the pointer holds
    // a button, or a repeat of the held key, does nothing.
    void keyPress(Pixel at);
    void keyRelease();
    bool keyHeld() const { return m_keyHeld; }

    std::int16_t held() const { return m_held; }

private:
    void emitMove(Pixel at, std::int16_t held, std::int16_t shift);

    Sink m_sink;
    std::int16_t m_held = 0;         // buttons pressed on this box and not yet released
    bool m_leftPressedHere = false;  // a left press here that a release over the box completes
    std::optional<Pixel> m_lastMove; // the last place announced by a MouseMove
    bool m_keyHeld = false;          // the left button held is a key's
    Pixel m_keyAt;                   // where the key presses
};

} // namespace Runtime
