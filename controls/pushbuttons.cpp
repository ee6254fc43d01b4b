// The three bitmap push buttons: the oval button, Exit and About.
#include "runtime/application.h"
#include "app/form1.h"
#include "controls/masktest.h"

namespace {
// A single OK button; 128 asks for no icon.
constexpr int kOkNoIcon = 128;
} // namespace

void Form1::pic1_MouseDown(std::int16_t, std::int16_t, float, float)
{
    if (isHot(pic1))
        pic1->setPicture(pic4->picture());
}

void Form1::pic1_MouseUp(std::int16_t, std::int16_t, float, float)
{
    // Released off the oval, the press completes nothing, but the button comes back up.
    pic1->setPicture(pic3->picture());
    if (!isHot(pic1))
        return;
    Runtime::MsgBox("Is it pretty?", kOkNoIcon);
}

void Form1::Picture4_MouseDown(std::int16_t Button, std::int16_t, float, float)
{
    if (Button == Runtime::Button::Left)
        Picture4->setPicture(Picture3->picture());
}

void Form1::Picture4_MouseUp(std::int16_t Button, std::int16_t, float, float)
{
    if (Button == Runtime::Button::Left)
        Picture4->setPicture(Picture8->picture());
}

void Form1::Picture4_Click()
{
    Runtime::End();
}

void Form1::Picture7_MouseDown(std::int16_t Button, std::int16_t, float, float)
{
    if (Button == Runtime::Button::Left)
        Picture7->setPicture(Picture6->picture());
}

void Form1::Picture7_MouseUp(std::int16_t Button, std::int16_t, float, float)
{
    if (Button == Runtime::Button::Left)
        Picture7->setPicture(Picture5->picture());
}

void Form1::Picture7_Click()
{
    if (!m_form2)
        m_form2 = std::make_unique<Form2>(this);
    m_form2->showForm(1);
}
