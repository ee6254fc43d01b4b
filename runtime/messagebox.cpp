// The runtime's own message box: a form built from the request, laid out as the classic one.
#include "runtime/messagebox.h"

#include "runtime/application.h"
#include "runtime/form.h"
#include "runtime/units.h"

#include <algorithm>
#include <string>
#include <vector>

namespace Runtime {

namespace {

// The classic layout, in pixels: the margins round the client area, the icon and the gap to
// the prompt beside it, the narrowest row of icon and prompt, the gap above the buttons, and
// the buttons with the gaps between them.
constexpr int kMargin = 12;
constexpr int kBottomMargin = 10;
constexpr int kIcon = 32;
constexpr int kIconGap = 12;
constexpr int kNarrowestRow = 120;
constexpr int kRowGap = 14;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;

const char *choiceText(MessageBoxRequest::Choice choice)
{
    using C = MessageBoxRequest::Choice;
    switch (choice) {
    case C::Ok: return "OK";
    case C::Cancel: return "Cancel";
    case C::Abort: return "Abort";
    case C::Retry: return "Retry";
    case C::Ignore: return "Ignore";
    case C::Yes: return "Yes";
    case C::No: return "No";
    }
    return "";
}

Twips twips(int x, int y, int width, int height)
{
    return {x * TwipsPerPixel, y * TwipsPerPixel, width * TwipsPerPixel, height * TwipsPerPixel};
}

// The box's description, made before its form is built from it and kept as long as the form.
struct Layout
{
    Layout(const MessageBoxRequest &request, const Backend &backend)
    {
        const Size text = backend.measureText(Font{}, request.prompt);
        const bool hasIcon = request.icon != MessageIcon::None;
        const int iconWidth = hasIcon ? kIcon + kIconGap : 0;
        const int rowHeight = std::max(hasIcon ? kIcon : 0, text.height);
        const int count = int(request.choices.size());
        const int buttonsWidth = count * kButtonWidth + (count - 1) * kButtonGap;
        width = 2 * kMargin + std::max({iconWidth + text.width, kNarrowestRow, buttonsWidth});
        height = kMargin + rowHeight + kRowGap + kButtonHeight + kBottomMargin;
        caption = request.title;
        prompt = request.prompt;
        if (hasIcon) {
            controls.push_back({.kind = Kind::PictureBox, .name = "Icon",
                                .place = twips(kMargin, kMargin + (rowHeight - kIcon) / 2, kIcon, kIcon),
                                .icon = request.icon});
        }
        controls.push_back({.kind = Kind::Label, .name = "Prompt",
                            .place = twips(kMargin + iconWidth, kMargin + (rowHeight - text.height) / 2,
                                           text.width, text.height),
                            .text = prompt.c_str()});
        // Tab goes round the buttons from the default one, which has the focus first.
        const int left = (width - buttonsWidth) / 2;
        for (int i = 0; i < count; ++i) {
            controls.push_back({.kind = Kind::CommandButton, .name = "Choice", .index = i,
                                .place = twips(left + i * (kButtonWidth + kButtonGap),
                                               kMargin + rowHeight + kRowGap, kButtonWidth, kButtonHeight),
                                .text = choiceText(request.choices[std::size_t(i)]),
                                .tabIndex = (i - request.defaultChoice + count) % count});
        }
        description = {.name = "MessageBox", .caption = caption.c_str(), .client = twips(0, 0, width, height),
                       .controls = controls, .alert = true};
    }

    int width;
    int height;
    std::string caption;
    std::string prompt;
    std::vector<ControlDescription> controls;
    FormDescription description;
};

class MessageBoxForm final : private Layout, public Form
{
public:
    explicit MessageBoxForm(const MessageBoxRequest &request)
        : Layout(request, Application::current().backend()), Form(Layout::description)
    {
        // Centred over the window it belongs to, else over the screen; kept on the screen as
        // it is shown, as every form is.
        const Rect over = request.owner ? request.owner->clientRect() : peer()->screenArea({0, 0});
        Layout::description.client.left = (over.x + (over.width - width) / 2) * TwipsPerPixel;
        Layout::description.client.top = (over.y + (over.height - height) / 2) * TwipsPerPixel;
    }

    int run()
    {
        showForm(1);
        return m_chosen;
    }

    void buttonClicked(Control &button) override
    {
        m_chosen = button.description().index;
        hide();
    }

private:
    int m_chosen = -1;
};

} // namespace

int runOwnMessageBox(const MessageBoxRequest &request)
{
    MessageBoxForm box(request);
    return box.run();
}

} // namespace Runtime
