// The main window: its form-level variables, its controls and its event procedures.
#pragma once

#include "app/form2.h"
#include "runtime/control.h"
#include "runtime/form.h"
#include "runtime/imagelist.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class Form1 final : public Runtime::Form
{
public:
    // Every stored picture read so far, by name.
    using PictureCache = std::vector<std::pair<std::string, Runtime::Picture>>;

    Form1();
    ~Form1() override;

    // Form-level variables.
    std::string PadAction;
    bool ChkState = false;
    std::int16_t OptIndex = 0;

    // The controls the procedures use, by their stored names.
    Runtime::PictureBox *PicM;     // mask of the round check box and the option balls (hidden store)
    Runtime::PictureBox *pic4;     // oval button, pressed face (hidden store)
    Runtime::PictureBox *pic3;     // oval button, released face (hidden store)
    Runtime::PictureBox *pic2;     // mask of the oval button (hidden store)
    Runtime::PictureBox *Picture8; // Exit, released face (hidden store)
    Runtime::PictureBox *Picture3; // Exit, pressed face (hidden store)
    Runtime::PictureBox *Picture5; // About, released face (hidden store)
    Runtime::PictureBox *Picture6; // About, pressed face (hidden store)
    Runtime::PictureBox *Picture4; // the Exit button
    Runtime::PictureBox *Picture7; // the About button
    Runtime::PictureBox *Picture2; // mask of the direction pad (hidden store)
    std::array<Runtime::PictureBox *, 3> Opt1; // the three option balls
    Runtime::PictureBox *Chk1;     // the round check box
    Runtime::PictureBox *pic1;     // the oval "Click here!" button
    Runtime::PictureBox *Picture1; // the direction pad
    Runtime::TextBox *Text2;       // the "Action:" box
    Runtime::ImageList ImageList1; // the direction pad's six faces
    Runtime::ImageList ImageList2; // the check box's and the option balls' six faces

    // Event procedures.
    void Form_Load();
    void Chk1_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Chk1_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Opt1_MouseDown(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Opt1_MouseMove(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Opt1_MouseUp(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X, float Y);
    void pic1_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void pic1_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void pic1_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Picture1_Click();
    void Picture1_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Picture1_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Picture1_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Picture4_Click();
    void Picture4_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Picture4_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Picture7_Click();
    void Picture7_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Picture7_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);

private:
    explicit Form1(std::shared_ptr<PictureCache> pictures);
    void bindProcedures();
    Runtime::PictureBox *option(std::int16_t Index) const;
    void showSelection(std::int16_t selected);

    std::unique_ptr<Form2> m_form2;
    std::shared_ptr<PictureCache> m_pictures; // made before the controls that read it
};
