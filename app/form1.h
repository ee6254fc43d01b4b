// The main window: its form-level variables and its event procedures.
#pragma once

#include "form.h"
#include "imagelist.h"
#include "picturebox.h"

#include <QPointer>

#include <array>

class QLineEdit;
#include "form2.h"

class Form1 final : public Runtime::Form
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // Form-level variables.
    QString PadAction;
    bool ChkState = false;
    qint16 OptIndex = 0;

    // The controls the procedures use, by their stored names.
    Runtime::PictureBox *PicM, *pic4, *pic3, *pic2;
    Runtime::PictureBox *Picture8, *Picture3, *Picture5, *Picture6;
    Runtime::PictureBox *Picture4, *Picture7, *Picture2;
    std::array<Runtime::PictureBox *, 3> Opt1;
    Runtime::PictureBox *Chk1, *pic1, *Picture1;
    QLineEdit *Text2;
    Runtime::ImageList ImageList1, ImageList2;

    // The About window, made on the first click on About and kept.
    Form2 *aboutWindow() const { return m_form2; }

    // Event procedures.
    void Form_Load();
    void Chk1_MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void Chk1_MouseUp(qint16 Button, qint16 Shift, float X, float Y);
    void Opt1_MouseDown(qint16 Index, qint16 Button, qint16 Shift, float X, float Y);
    void Opt1_MouseMove(qint16 Index, qint16 Button, qint16 Shift, float X, float Y);
    void Opt1_MouseUp(qint16 Index, qint16 Button, qint16 Shift, float X, float Y);
    void pic1_MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void pic1_MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void pic1_MouseUp(qint16 Button, qint16 Shift, float X, float Y);
    void Picture1_Click();
    void Picture1_MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void Picture1_MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void Picture1_MouseUp(qint16 Button, qint16 Shift, float X, float Y);
    void Picture4_Click();
    void Picture4_MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void Picture4_MouseUp(qint16 Button, qint16 Shift, float X, float Y);
    void Picture7_Click();
    void Picture7_MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void Picture7_MouseUp(qint16 Button, qint16 Shift, float X, float Y);

private:
    void bindProcedures();
    Runtime::PictureBox *option(qint16 Index) const;
    void showSelection(qint16 selected);

    QPointer<Form2> m_form2;
};
