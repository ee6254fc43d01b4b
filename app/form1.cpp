// The main window: its stored description, its load step and where each event procedure is
// bound to its control.
#include "app/form1.h"

#include "runtime/application.h"
#include "runtime/binding.h"
#include "runtime/units.h"

namespace {

using Runtime::Colour;
using Runtime::ControlDescription;
using Runtime::Key;
using Runtime::KeyPart;
using Runtime::Kind;
using Runtime::Role;

constexpr Colour kWindow = Colour::system(Colour::Source::Window);
constexpr Colour kWindowText = Colour::system(Colour::Source::WindowText);
constexpr Colour kGrey = Colour::rgbValue(192, 192, 192);

// The keys of the direction pad, each with the point inside its shape that a key presses and
// the rectangle its shape lies in.
constexpr KeyPart kPadKeys[] = {
    {"Home", Key::Home, {85, 52}, {46, 31, 79, 45}},
    {"Up", Key::Up, {85, 15}, {45, 2, 82, 26}},
    {"Down", Key::Down, {85, 92}, {44, 79, 83, 26}},
    {"Left", Key::Left, {20, 52}, {2, 31, 40, 44}},
    {"Right", Key::Right, {150, 52}, {129, 31, 40, 44}},
};

// Stored order, which is also the stacking order (earlier above later). Twips, measured from
// the container: the client area, or a frame's top-left corner.
const ControlDescription kControls[] = {
    {.kind = Kind::PictureBox, .name = "PicM", .place = {7260, 4005, 390, 390}, .tabIndex = 30,
     .picture = "PicM", .visible = false, .back = kWindow, .fore = kWindowText},
    {.kind = Kind::PictureBox, .name = "pic4", .place = {7305, 2580, 2460, 765}, .tabIndex = 21,
     .picture = "pic4", .visible = false, .back = kWindow, .fore = kWindowText},
    {.kind = Kind::PictureBox, .name = "pic3", .place = {7350, 1755, 2460, 765}, .tabIndex = 20,
     .picture = "pic3", .visible = false, .back = kWindow, .fore = kWindowText},
    {.kind = Kind::PictureBox, .name = "pic2", .place = {5385, 4590, 2460, 765}, .tabIndex = 19,
     .picture = "pic2", .visible = false, .back = kWindow, .fore = kWindowText},
    {.kind = Kind::PictureBox, .name = "Picture8", .place = {5415, 1785, 1410, 585}, .tabIndex = 15,
     .picture = "Picture8", .border = true, .visible = false},
    {.kind = Kind::PictureBox, .name = "Picture3", .place = {5415, 2400, 1410, 585}, .tabIndex = 14,
     .picture = "Picture3", .border = true, .visible = false},
    {.kind = Kind::PictureBox, .name = "Picture5", .place = {5415, 3105, 1410, 585}, .tabIndex = 13,
     .picture = "Picture5", .border = true, .visible = false},
    {.kind = Kind::PictureBox, .name = "Picture6", .place = {5415, 3720, 1410, 585}, .tabIndex = 12,
     .picture = "Picture6", .border = true, .visible = false},
    {.kind = Kind::PictureBox, .name = "Picture4", .place = {3525, 4815, 1410, 585}, .tabIndex = 11,
     .picture = "Picture8", .border = true,
     .role = Role::PushButton, .accessibleName = "Exit", .keyPoint = {45, 17}},
    {.kind = Kind::PictureBox, .name = "Picture7", .place = {2085, 4815, 1410, 585}, .tabIndex = 10,
     .picture = "Picture5", .border = true,
     .role = Role::PushButton, .accessibleName = "About", .keyPoint = {45, 17}},
    {.kind = Kind::PictureBox, .name = "Picture2", .place = {5460, 105, 2565, 1590}, .tabIndex = 9,
     .picture = "Picture2", .visible = false, .back = kGrey, .fore = kWindowText},
    {.kind = Kind::Frame, .name = "Frame2", .place = {105, 1815, 4830, 2925},
     .text = "Zennorak Design Quorvel technics examples", .tabIndex = 7, .back = kGrey},
    {.kind = Kind::PictureBox, .name = "Opt1", .index = 2, .container = "Frame2", .place = {3120, 1185, 390, 390},
     .tabIndex = 25, .picture = "ImageList2-4", .back = kWindow, .fore = kWindowText,
     .role = Role::RadioButton, .labelledBy = "Label3(2)", .keyPoint = {12, 12}},
    {.kind = Kind::PictureBox, .name = "Opt1", .index = 1, .container = "Frame2", .place = {3120, 765, 390, 390},
     .tabIndex = 24, .picture = "ImageList2-4", .back = kWindow, .fore = kWindowText,
     .role = Role::RadioButton, .labelledBy = "Label3(1)", .keyPoint = {12, 12}},
    {.kind = Kind::PictureBox, .name = "Opt1", .index = 0, .container = "Frame2", .place = {3120, 345, 390, 390},
     .tabIndex = 23, .picture = "ImageList2-6", .back = kWindow, .fore = kWindowText,
     .role = Role::RadioButton, .labelledBy = "Label3(0)", .keyPoint = {12, 12}},
    {.kind = Kind::PictureBox, .name = "Chk1", .container = "Frame2", .place = {180, 2415, 390, 390},
     .tabIndex = 22, .picture = "ImageList2-1", .back = kWindow, .fore = kWindowText,
     .role = Role::CheckBox, .labelledBy = "Label3(3)", .keyPoint = {12, 12}},
    {.kind = Kind::PictureBox, .name = "pic1", .container = "Frame2", .place = {2175, 1935, 2460, 765},
     .tabIndex = 18, .picture = "pic3", .back = kWindow, .fore = kWindowText,
     .role = Role::PushButton, .accessibleName = "Click here!", .keyPoint = {80, 25}},
    {.kind = Kind::TextBox, .name = "Text2", .container = "Frame2", .place = {810, 270, 1170, 360},
     .text = "", .tabIndex = 16, .labelledBy = "Label2"},
    {.kind = Kind::PictureBox, .name = "Picture1", .container = "Frame2", .place = {120, 750, 2565, 1590},
     .tabIndex = 8, .picture = "Picture1", .back = kWindow, .fore = kWindowText,
     .role = Role::Grouping, .accessibleName = "Direction pad",
     .accessibleDescription = "Use the arrow keys and Home", .keyParts = kPadKeys},
    {.kind = Kind::Label, .name = "Label3", .index = 3, .container = "Frame2", .place = {660, 2505, 1020, 300},
     .text = "qvCheck1", .tabIndex = 29},
    {.kind = Kind::Label, .name = "Label3", .index = 2, .container = "Frame2", .place = {3615, 1260, 1020, 300},
     .text = "qvOption1(2)", .tabIndex = 28},
    {.kind = Kind::Label, .name = "Label3", .index = 1, .container = "Frame2", .place = {3615, 840, 1020, 300},
     .text = "qvOption1(1)", .tabIndex = 27},
    {.kind = Kind::Label, .name = "Label3", .index = 0, .container = "Frame2", .place = {3615, 420, 1020, 300},
     .text = "qvOption1(0)", .tabIndex = 26},
    {.kind = Kind::Label, .name = "Label2", .container = "Frame2", .place = {210, 315, 540, 315},
     .text = "Action:", .tabIndex = 17},
    {.kind = Kind::Frame, .name = "Frame1", .place = {120, 75, 4815, 1560},
     .text = "Standard MS Custom Controls", .tabIndex = 0},
    {.kind = Kind::TextBox, .name = "Text1", .container = "Frame1", .place = {2055, 1050, 2070, 345},
     .text = "Text1", .tabIndex = 6, .labelledBy = "Label1"},
    {.kind = Kind::OptionButton, .name = "Option1", .index = 1, .container = "Frame1", .place = {240, 1140, 1170, 345},
     .text = "Option1(1)", .tabIndex = 4},
    {.kind = Kind::OptionButton, .name = "Option1", .index = 0, .container = "Frame1", .place = {240, 810, 1170, 345},
     .text = "Option1(0)", .tabIndex = 3, .value = true},
    {.kind = Kind::CheckBox, .name = "Check1", .container = "Frame1", .place = {2985, 345, 1065, 315},
     .text = "Check1", .tabIndex = 2},
    {.kind = Kind::CommandButton, .name = "Command1", .container = "Frame1", .place = {255, 285, 2070, 465},
     .text = "Command1", .tabIndex = 1},
    {.kind = Kind::Label, .name = "Label1", .container = "Frame1", .place = {1425, 1110, 525, 345},
     .text = "Label1", .tabIndex = 5},
};

const Runtime::FormDescription kForm1{
    "Form1", "Quorvel                             version1.1", {2340, 1530, 5025, 5475}, kControls};

// Stored pictures come from the program's resources; a name used twice shares one picture,
// the image lists' pictures included.
Runtime::Picture storedPicture(Form1::PictureCache &cache, const std::string &name)
{
    for (const auto &[known, picture] : cache) {
        if (known == name)
            return picture;
    }
    cache.emplace_back(name, Runtime::Application::current().picture(name));
    return cache.back().second;
}

} // namespace

Form1::Form1() : Form1(std::make_shared<PictureCache>()) { }

Form1::Form1(std::shared_ptr<PictureCache> pictures)
    : Runtime::Form(kForm1, nullptr, [pictures](const std::string &name) { return storedPicture(*pictures, name); })
    , m_pictures(std::move(pictures))
{
    using Runtime::PictureBox;
    PicM = control<PictureBox>("PicM");
    pic4 = control<PictureBox>("pic4");
    pic3 = control<PictureBox>("pic3");
    pic2 = control<PictureBox>("pic2");
    Picture8 = control<PictureBox>("Picture8");
    Picture3 = control<PictureBox>("Picture3");
    Picture5 = control<PictureBox>("Picture5");
    Picture6 = control<PictureBox>("Picture6");
    Picture4 = control<PictureBox>("Picture4");
    Picture7 = control<PictureBox>("Picture7");
    Picture2 = control<PictureBox>("Picture2");
    for (int i = 0; i < int(Opt1.size()); ++i)
        Opt1[std::size_t(i)] = control<PictureBox>("Opt1", i);
    Chk1 = control<PictureBox>("Chk1");
    pic1 = control<PictureBox>("pic1");
    Picture1 = control<PictureBox>("Picture1");
    Text2 = control<Runtime::TextBox>("Text2");

    // The image lists come after every other control, ImageList2 first. Their faces are read
    // when first shown.
    for (auto [list, name] : {std::pair{&ImageList2, "ImageList2-"}, std::pair{&ImageList1, "ImageList1-"}}) {
        *list = Runtime::ImageList(6, [cache = m_pictures, name = std::string(name)](int n) {
            return storedPicture(*cache, name + std::to_string(n));
        });
    }

    bindProcedures();
}

Form1::~Form1() = default;

void Form1::bindProcedures()
{
    using Runtime::bind;
    bind(Chk1->MouseMove, this, &Form1::Chk1_MouseMove);
    bind(Chk1->MouseUp, this, &Form1::Chk1_MouseUp);
    setLoadProcedure([this] { Form_Load(); });
    for (std::int16_t i = 0; i < std::int16_t(Opt1.size()); ++i) {
        bind(Opt1[std::size_t(i)]->MouseDown, this, &Form1::Opt1_MouseDown, i);
        bind(Opt1[std::size_t(i)]->MouseMove, this, &Form1::Opt1_MouseMove, i);
        bind(Opt1[std::size_t(i)]->MouseUp, this, &Form1::Opt1_MouseUp, i);
    }
    bind(pic1->MouseDown, this, &Form1::pic1_MouseDown);
    bind(pic1->MouseMove, this, &Form1::pic1_MouseMove);
    bind(pic1->MouseUp, this, &Form1::pic1_MouseUp);
    bind(Picture1->Click, this, &Form1::Picture1_Click);
    bind(Picture1->MouseDown, this, &Form1::Picture1_MouseDown);
    bind(Picture1->MouseMove, this, &Form1::Picture1_MouseMove);
    bind(Picture1->MouseUp, this, &Form1::Picture1_MouseUp);
    bind(Picture4->Click, this, &Form1::Picture4_Click);
    bind(Picture4->MouseDown, this, &Form1::Picture4_MouseDown);
    bind(Picture4->MouseUp, this, &Form1::Picture4_MouseUp);
    bind(Picture7->Click, this, &Form1::Picture7_Click);
    bind(Picture7->MouseDown, this, &Form1::Picture7_MouseDown);
    bind(Picture7->MouseUp, this, &Form1::Picture7_MouseUp);

    // What the keyboard and assistive technology read as checked.
    Chk1->setCheckedState([this] { return ChkState; });
    for (std::int16_t i = 0; i < std::int16_t(Opt1.size()); ++i)
        Opt1[std::size_t(i)]->setCheckedState([this, i] { return OptIndex == i; });
}

void Form1::Form_Load()
{
    ChkState = false;
    OptIndex = 0;
    setScaleMode(Runtime::Scale::Pixels);
    Picture1->setScaleMode(Runtime::Scale::Pixels);
    Picture2->setScaleMode(Runtime::Scale::Pixels);
}
