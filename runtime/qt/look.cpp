// Style, palette and fonts, set explicitly.
#include "runtime/qt/look.h"

#include "runtime/qt/fonts.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>
#include <QWidget>

#include <cmath>
#include <cstdint>

namespace Runtime::QtUi::Look {

namespace {
const QString kSansFace = QStringLiteral("Liberation Sans");
constexpr int kDefaultPixelSize = 11;
} // namespace

void prepare()
{
    QApplication::setDesktopSettingsAware(false);
    // The program owns its look, so the system's font rules change nothing it shows: it uses
    // a font configuration of its own, which is also far quicker to set up.
    Fonts::useOwnConfiguration();
}

QColor buttonFace()
{
    return QColor(192, 192, 192);
}

static QPalette classicPalette()
{
    const QColor face = buttonFace();
    const QColor white(255, 255, 255), black(0, 0, 0), shadow(128, 128, 128);
    QPalette p(black, face, white, shadow, QColor(160, 160, 160), black, white, white, face);
    p.setColor(QPalette::Midlight, QColor(223, 223, 223));
    p.setColor(QPalette::Shadow, black);
    p.setColor(QPalette::Highlight, QColor(0, 0, 128));
    p.setColor(QPalette::HighlightedText, white);
    p.setColor(QPalette::AlternateBase, face);
    p.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    p.setColor(QPalette::ToolTipText, black);
    p.setColor(QPalette::PlaceholderText, shadow);
    p.setColor(QPalette::Link, QColor(0, 0, 255));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, shadow);
    return p;
}

void apply(QApplication &app)
{
    if (QStyle *style = QStyleFactory::create(QStringLiteral("Windows")))
        app.setStyle(style);
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), kSansFace);
    QFont::insertSubstitution(QStringLiteral("Arial"), kSansFace);
    app.setFont(defaultFont());
    app.setPalette(classicPalette());
}

QColor colour(const Colour &c)
{
    using S = Colour::Source;
    switch (c.source) {
    case S::Rgb: return QColor::fromRgb(QRgb(c.rgb));
    case S::Window: return QColor(255, 255, 255);
    case S::WindowText:
    case S::ButtonText: return QColor(0, 0, 0);
    case S::HighlightText: return QColor(255, 255, 255);
    case S::ButtonFace:
    case S::Default: break;
    }
    return buttonFace();
}

QString mapFamily(const QString &family)
{
    if (family.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0
        || family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return kSansFace;
    return family;
}

QFont defaultFont()
{
    QFont f(kSansFace);
    f.setPixelSize(kDefaultPixelSize);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

QFont font(const FontDescription &d)
{
    QFont f = defaultFont();
    if (d.family)
        f.setFamily(mapFamily(QString::fromUtf8(d.family)));
    if (d.points > 0)
        f.setPixelSize(int(std::lround(d.points * 96.0 / 72.0)));
    f.setBold(d.bold);
    f.setItalic(d.italic);
    return f;
}

namespace {

std::uint32_t rgbOf(const QColor &c)
{
    return c.rgb() & 0xFFFFFF;
}

// The colour under a control's text: a text box's field; else the control's own surface, or
// that of the nearest container with a colour of its own, as a label, frame, check box or
// option button shows its container's.
std::uint32_t surfaceUnder(ControlView control)
{
    if (control.kind() == Kind::TextBox)
        return control.back().isDefault() ? 0xFFFFFF : rgbOf(colour(control.back()));
    for (ControlView c = control; c; c = c.container()) {
        if (!c.back().isDefault())
            return rgbOf(colour(c.back()));
    }
    return rgbOf(buttonFace());
}

} // namespace

void applyColours(QWidget *w, ControlView control)
{
    const Kind kind = control.kind();
    const Colour back = control.back(), fore = control.fore();
    if (!back.isDefault()) {
        QPalette p = w->palette();
        // A text box's back colour is its field; any other control's is its surface, which
        // the controls it contains keep their own fields on.
        p.setColor(kind == Kind::TextBox ? QPalette::Base : QPalette::Window, colour(back));
        w->setPalette(p);
        w->setAutoFillBackground(kind != Kind::TextBox);
    }
    if (!fore.isDefault()) {
        QPalette p = w->palette();
        const Colour text = control.textColour(surfaceUnder(control));
        const QColor c = text.isDefault() ? QColor(0, 0, 0) : colour(text);
        p.setColor(QPalette::WindowText, c);
        p.setColor(QPalette::Text, c);
        p.setColor(QPalette::ButtonText, c);
        w->setPalette(p);
    }
}

} // namespace Runtime::QtUi::Look
