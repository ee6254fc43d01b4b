// The main window: its stored description, its load step and where each event procedure is
// bound to its control.
#include "form1.h"

#include "assets.h"
#include "binding.h"
#include "form2.h"

#include <QHash>
#include <QLineEdit>

namespace {

using Runtime::Colour;
using Runtime::ControlDescription;
using Runtime::Kind;

constexpr Colour kWindow = Colour::system(Colour::Source::Window);
constexpr Colour kWindowText = Colour::system(Colour::Source::WindowText);
constexpr Colour kGrey = Colour::rgbValue(192, 192, 192);

constexpr bool kBorder = true, kFlat = false;
constexpr bool kShown = true, kHidden = false;

// Stored order, which is also the stacking order (earlier above later). Twips, measured from
// the container: the client area, or a frame's top-left corner.
// kind, name, index, container, left, top, width, height, text, TabIndex,
// picture, border, visible, value, back, fore
const ControlDescription kControls[] = {
    {Kind::PictureBox, "PicM", -1, nullptr, 7260, 4005, 390, 390, nullptr, 30,
     "PicM", kFlat, kHidden, false, kWindow, kWindowText},
    {Kind::PictureBox, "pic4", -1, nullptr, 7305, 2580, 2460, 765, nullptr, 21,
     "pic4", kFlat, kHidden, false, kWindow, kWindowText},
    {Kind::PictureBox, "pic3", -1, nullptr, 7350, 1755, 2460, 765, nullptr, 20,
     "pic3", kFlat, kHidden, false, kWindow, kWindowText},
    {Kind::PictureBox, "pic2", -1, nullptr, 5385, 4590, 2460, 765, nullptr, 19,
     "pic2", kFlat, kHidden, false, kWindow, kWindowText},
    {Kind::PictureBox, "Picture8", -1, nullptr, 5415, 1785, 1410, 585, nullptr, 15,
     "Picture8", kBorder, kHidden},
    {Kind::PictureBox, "Picture3", -1, nullptr, 5415, 2400, 1410, 585, nullptr, 14,
     "Picture3", kBorder, kHidden},
    {Kind::PictureBox, "Picture5", -1, nullptr, 5415, 3105, 1410, 585, nullptr, 13,
     "Picture5", kBorder, kHidden},
    {Kind::PictureBox, "Picture6", -1, nullptr, 5415, 3720, 1410, 585, nullptr, 12,
     "Picture6", kBorder, kHidden},
    {Kind::PictureBox, "Picture4", -1, nullptr, 3525, 4815, 1410, 585, nullptr, 11,
     "Picture8", kBorder, kShown},
    {Kind::PictureBox, "Picture7", -1, nullptr, 2085, 4815, 1410, 585, nullptr, 10,
     "Picture5", kBorder, kShown},
    {Kind::PictureBox, "Picture2", -1, nullptr, 5460, 105, 2565, 1590, nullptr, 9,
     "Picture2", kFlat, kHidden, false, kGrey, kWindowText},
    {Kind::Frame, "Frame2", -1, nullptr, 105, 1815, 4830, 2925,
     "Zennorak Design Quorvel technics examples", 7,
     nullptr, kFlat, kShown, false, kGrey},
    {Kind::PictureBox, "Opt1", 2, "Frame2", 3120, 1185, 390, 390, nullptr, 25,
     "ImageList2-4", kFlat, kShown, false, kWindow, kWindowText},
    {Kind::PictureBox, "Opt1", 1, "Frame2", 3120, 765, 390, 390, nullptr, 24,
     "ImageList2-4", kFlat, kShown, false, kWindow, kWindowText},
    {Kind::PictureBox, "Opt1", 0, "Frame2", 3120, 345, 390, 390, nullptr, 23,
     "ImageList2-6", kFlat, kShown, false, kWindow, kWindowText},
    {Kind::PictureBox, "Chk1", -1, "Frame2", 180, 2415, 390, 390, nullptr, 22,
     "ImageList2-1", kFlat, kShown, false, kWindow, kWindowText},
    {Kind::PictureBox, "pic1", -1, "Frame2", 2175, 1935, 2460, 765, nullptr, 18,
     "pic3", kFlat, kShown, false, kWindow, kWindowText},
    {Kind::TextBox, "Text2", -1, "Frame2", 810, 270, 1170, 360, "", 16},
    {Kind::PictureBox, "Picture1", -1, "Frame2", 120, 750, 2565, 1590, nullptr, 8,
     "Picture1", kFlat, kShown, false, kWindow, kWindowText},
    {Kind::Label, "Label3", 3, "Frame2", 660, 2505, 1020, 300, "qvCheck1", 29},
    {Kind::Label, "Label3", 2, "Frame2", 3615, 1260, 1020, 300, "qvOption1(2)", 28},
    {Kind::Label, "Label3", 1, "Frame2", 3615, 840, 1020, 300, "qvOption1(1)", 27},
    {Kind::Label, "Label3", 0, "Frame2", 3615, 420, 1020, 300, "qvOption1(0)", 26},
    {Kind::Label, "Label2", -1, "Frame2", 210, 315, 540, 315, "Action:", 17},
    {Kind::Frame, "Frame1", -1, nullptr, 120, 75, 4815, 1560, "Standard MS Custom Controls", 0},
    {Kind::TextBox, "Text1", -1, "Frame1", 2055, 1050, 2070, 345, "Text1", 6},
    {Kind::OptionButton, "Option1", 1, "Frame1", 240, 1140, 1170, 345, "Option1(1)", 4},
    {Kind::OptionButton, "Option1", 0, "Frame1", 240, 810, 1170, 345, "Option1(0)", 3,
     nullptr, kFlat, kShown, /*selected=*/true},
    {Kind::CheckBox, "Check1", -1, "Frame1", 2985, 345, 1065, 315, "Check1", 2},
    {Kind::CommandButton, "Command1", -1, "Frame1", 255, 285, 2070, 465, "Command1", 1},
    {Kind::Label, "Label1", -1, "Frame1", 1425, 1110, 525, 345, "Label1", 5},
};

const Runtime::FormDescription kForm1{
    "Form1", "Quorvel                             version1.1", 2340, 1530, 5025, 5475, kControls};

// Stored pictures come from the program's resources; a name used twice shares one picture.
Runtime::PictureSource storedPictures()
{
    auto cache = std::make_shared<QHash<QString, Runtime::Picture>>();
    return [cache](const char *name) {
        const QString key = QString::fromUtf8(name);
        auto it = cache->constFind(key);
        if (it == cache->constEnd())
            it = cache->insert(key, Runtime::Picture::load(Assets::picturePath(key)));
        return *it;
    };
}

Runtime::ImageList imageList(const char *name, int count)
{
    QList<Runtime::Picture> pictures;
    for (int i = 1; i <= count; ++i)
        pictures.append(Runtime::Picture::load(
            Assets::picturePath(QStringLiteral("%1-%2").arg(QLatin1String(name)).arg(i))));
    return Runtime::ImageList(std::move(pictures));
}

} // namespace

Form1::Form1(QWidget *parent) : Runtime::Form(kForm1, storedPictures(), parent)
{
    using Runtime::PictureBox;
    PicM = control<PictureBox>(QStringLiteral("PicM"));
    pic4 = control<PictureBox>(QStringLiteral("pic4"));
    pic3 = control<PictureBox>(QStringLiteral("pic3"));
    pic2 = control<PictureBox>(QStringLiteral("pic2"));
    Picture8 = control<PictureBox>(QStringLiteral("Picture8"));
    Picture3 = control<PictureBox>(QStringLiteral("Picture3"));
    Picture5 = control<PictureBox>(QStringLiteral("Picture5"));
    Picture6 = control<PictureBox>(QStringLiteral("Picture6"));
    Picture4 = control<PictureBox>(QStringLiteral("Picture4"));
    Picture7 = control<PictureBox>(QStringLiteral("Picture7"));
    Picture2 = control<PictureBox>(QStringLiteral("Picture2"));
    for (int i = 0; i < int(Opt1.size()); ++i)
        Opt1[i] = control<PictureBox>(QStringLiteral("Opt1"), i);
    Chk1 = control<PictureBox>(QStringLiteral("Chk1"));
    pic1 = control<PictureBox>(QStringLiteral("pic1"));
    Picture1 = control<PictureBox>(QStringLiteral("Picture1"));
    Text2 = control<QLineEdit>(QStringLiteral("Text2"));

    // The image lists come after every other control, ImageList2 first.
    ImageList2 = imageList("ImageList2", 6);
    ImageList1 = imageList("ImageList1", 6);

    bindProcedures();
}

Form1::~Form1() = default;

void Form1::bindProcedures()
{
    using Runtime::MouseEvent;
    using Runtime::onClick;
    using Runtime::onMouse;
    const auto mouse = [this](auto procedure) {
        return [this, procedure](qint16 b, qint16 s, float x, float y) { (this->*procedure)(b, s, x, y); };
    };
    const auto element = [this](qint16 index, auto procedure) {
        return [this, index, procedure](qint16 b, qint16 s, float x, float y) {
            (this->*procedure)(index, b, s, x, y);
        };
    };
    const auto click = [this](auto procedure) { return [this, procedure] { (this->*procedure)(); }; };

    onMouse(Chk1, MouseEvent::Move, mouse(&Form1::Chk1_MouseMove));
    onMouse(Chk1, MouseEvent::Up, mouse(&Form1::Chk1_MouseUp));
    setLoadProcedure(click(&Form1::Form_Load));
    for (qint16 i = 0; i < qint16(Opt1.size()); ++i) {
        onMouse(Opt1[i], MouseEvent::Down, element(i, &Form1::Opt1_MouseDown));
        onMouse(Opt1[i], MouseEvent::Move, element(i, &Form1::Opt1_MouseMove));
        onMouse(Opt1[i], MouseEvent::Up, element(i, &Form1::Opt1_MouseUp));
    }
    onMouse(pic1, MouseEvent::Down, mouse(&Form1::pic1_MouseDown));
    onMouse(pic1, MouseEvent::Move, mouse(&Form1::pic1_MouseMove));
    onMouse(pic1, MouseEvent::Up, mouse(&Form1::pic1_MouseUp));
    onClick(Picture1, click(&Form1::Picture1_Click));
    onMouse(Picture1, MouseEvent::Down, mouse(&Form1::Picture1_MouseDown));
    onMouse(Picture1, MouseEvent::Move, mouse(&Form1::Picture1_MouseMove));
    onMouse(Picture1, MouseEvent::Up, mouse(&Form1::Picture1_MouseUp));
    onClick(Picture4, click(&Form1::Picture4_Click));
    onMouse(Picture4, MouseEvent::Down, mouse(&Form1::Picture4_MouseDown));
    onMouse(Picture4, MouseEvent::Up, mouse(&Form1::Picture4_MouseUp));
    onClick(Picture7, click(&Form1::Picture7_Click));
    onMouse(Picture7, MouseEvent::Down, mouse(&Form1::Picture7_MouseDown));
    onMouse(Picture7, MouseEvent::Up, mouse(&Form1::Picture7_MouseUp));
}

void Form1::Form_Load()
{
    ChkState = false;
    OptIndex = 0;
    setScaleMode(Runtime::Scale::Pixels);
    Picture1->setScaleMode(Runtime::Scale::Pixels);
    Picture2->setScaleMode(Runtime::Scale::Pixels);
}
