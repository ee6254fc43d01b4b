// Style, palette and fonts, set explicitly.
#include "runtime/qt/look.h"

#include "runtime/qt/fonts.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace Runtime::QtUi::Look {

namespace {
const QString kSansFace = QStringLiteral("Liberation Sans");
} // namespace

void prepare()
{
    QApplication::setDesktopSettingsAware(false);
    // The program owns its look, so the system's font rules change nothing it shows: it uses
    // a font configuration of its own, which is also far quicker to set up.
    Fonts::useOwnConfiguration();
}

static QPalette classicPalette()
{
    using S = Colour::Source;
    const QColor face = colour(classicColour(S::ButtonFace)), window = colour(classicColour(S::Window));
    const QColor text = colour(classicColour(S::WindowText)), buttonText = colour(classicColour(S::ButtonText));
    const QColor white(255, 255, 255), black(0, 0, 0), shadow(128, 128, 128);
    QPalette p(text, face, white, shadow, QColor(160, 160, 160), text, white, window, face);
    p.setColor(QPalette::ButtonText, buttonText);
    p.setColor(QPalette::Midlight, QColor(223, 223, 223));
    p.setColor(QPalette::Shadow, black);
    p.setColor(QPalette::Highlight, QColor(0, 0, 128));
    p.setColor(QPalette::HighlightedText, colour(classicColour(S::HighlightText)));
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
    app.setFont(defaultFont());
    app.setPalette(classicPalette());
}

QColor colour(Rgb rgb)
{
    return QColor(rgb.red(), rgb.green(), rgb.blue());
}

QFont defaultFont()
{
    QFont f(kSansFace);
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(int(std::lround(Font{}.points * 96.0 / 72.0)));
    return f;
}

QFont font(const Font &described)
{
    QFont f = defaultFont();
    const QString family = QString::fromUtf8(described.family);
    const bool mapped = family.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0
            || family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0;
    f.setFamily(mapped ? kSansFace : family);
    f.setPixelSize(int(std::lround(described.points * 96.0 / 72.0)));
    f.setBold(described.bold);
    f.setItalic(described.italic);
    return f;
}

void applyLook(QWidget *w, ControlView control)
{
    // A text box's surface is its field; any other control's is its own, which the controls it
    // contains inherit.
    const QPalette::ColorRole surface = control.kind() == Kind::TextBox ? QPalette::Base : QPalette::Window;
    const QColor back = colour(control.background()), text = colour(control.textColour());
    QPalette p = w->palette();
    const bool ownSurface = p.color(surface) != back;
    if (ownSurface)
        p.setColor(surface, back);
    const auto textRoles = {QPalette::WindowText, QPalette::Text, QPalette::ButtonText};
    const bool ownText = std::any_of(textRoles.begin(), textRoles.end(), [&](auto role) { return p.color(role) != text; });
    if (ownText) {
        for (auto role : textRoles)
            p.setColor(role, text);
    }
    if (ownSurface || ownText)
        w->setPalette(p);
    if (ownSurface && control.kind() != Kind::TextBox)
        w->setAutoFillBackground(true);
    if (const QFont f = font(control.resolvedFont()); f != w->font())
        w->setFont(f);
}

} // namespace Runtime::QtUi::Look
