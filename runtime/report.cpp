// What a back end reports, turned into the runtime's own calls.
#include "runtime/backend.h"

#include "runtime/form.h"

namespace Runtime {

Control &controlOf(ControlView view);
Form &formOf(FormView view);

namespace Report {

namespace {
PictureBox *pictureBox(ControlView view)
{
    // A form makes a PictureBox of every control described as one (and pointer reports come
    // by the thousand: no dynamic_cast on their way).
    return view && view.kind() == Kind::PictureBox ? static_cast<PictureBox *>(&controlOf(view)) : nullptr;
}
} // namespace

void pointerPressed(ControlView box, Pixel at, std::int16_t button, std::int16_t held, std::int16_t shift)
{
    if (PictureBox *b = pictureBox(box))
        b->pointerPressed(at, button, held, shift);
}

void pointerMoved(ControlView box, Pixel at, std::int16_t held, std::int16_t shift)
{
    if (PictureBox *b = pictureBox(box))
        b->pointerMoved(at, held, shift);
}

void pointerReleased(ControlView box, Pixel at, std::int16_t button, std::int16_t shift)
{
    if (PictureBox *b = pictureBox(box))
        b->pointerReleased(at, button, shift);
}

void pointerLeft(ControlView box)
{
    if (PictureBox *b = pictureBox(box))
        b->pointerLeft();
}

void pointerCancelled(ControlView box)
{
    if (PictureBox *b = pictureBox(box))
        b->pointerCancelled();
}

bool keyPressed(FormView form, Key key, std::int16_t shift, bool repeat)
{
    return form && formOf(form).keyPressed(key, shift, repeat);
}

bool keyReleased(FormView form, Key key, std::int16_t shift)
{
    return form && formOf(form).keyReleased(key, shift);
}

void focusGained(ControlView control)
{
    if (control)
        controlOf(control).form().focusGained(controlOf(control));
}

void focusLost(ControlView control)
{
    if (control)
        controlOf(control).form().focusLost(controlOf(control));
}

void textEdited(ControlView textBox, std::string text)
{
    if (textBox)
        controlOf(textBox).textEdited(std::move(text));
}

void checkBoxClicked(ControlView checkBox)
{
    if (checkBox && checkBox.kind() == Kind::CheckBox)
        controlOf(checkBox).toggle();
}

void optionChosen(ControlView optionButton)
{
    if (optionButton)
        controlOf(optionButton).form().chooseOption(controlOf(optionButton));
}

void buttonClicked(ControlView commandButton)
{
    if (commandButton && commandButton.kind() == Kind::CommandButton)
        controlOf(commandButton).form().buttonClicked(controlOf(commandButton));
}

void actionRequested(ControlView control, int part)
{
    if (PictureBox *b = pictureBox(control))
        b->pressAndRelease(part);
}

void closeRequested(FormView form)
{
    if (form)
        formOf(form).closeRequested();
}

void windowShown(FormView form)
{
    if (form)
        formOf(form).windowShown();
}

void windowHidden(FormView form)
{
    if (form)
        formOf(form).pointerLost();
}

void windowMinimised(FormView form)
{
    if (form)
        formOf(form).pointerLost();
}

void windowActivated(FormView form)
{
    if (form)
        formOf(form).windowActivated();
}

} // namespace Report

} // namespace Runtime
