#include "ui/DarkPalette.h"

#include "ui/Palette.h"

namespace helm {

QPalette darkPalette() {
    QPalette p;
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::Window, gGround);
        p.setColor(g, QPalette::WindowText, gInk);
        p.setColor(g, QPalette::Base, gPanel);
        p.setColor(g, QPalette::AlternateBase, gLine);
        p.setColor(g, QPalette::Text, gInk);
        p.setColor(g, QPalette::PlaceholderText, gMuted);
        p.setColor(g, QPalette::Button, gLine);
        p.setColor(g, QPalette::ButtonText, gInk);
        p.setColor(g, QPalette::BrightText, gWarn);
        p.setColor(g, QPalette::Highlight, gLive);
        p.setColor(g, QPalette::HighlightedText, gGround);
        p.setColor(g, QPalette::ToolTipBase, gPanel);
        p.setColor(g, QPalette::ToolTipText, gInk);
        p.setColor(g, QPalette::Link, gLive);
        p.setColor(g, QPalette::Light, gLine.lighter(150));
        p.setColor(g, QPalette::Midlight, gLine.lighter(120));
        p.setColor(g, QPalette::Mid, gLine);
        p.setColor(g, QPalette::Dark, gPanel);
        p.setColor(g, QPalette::Shadow, Qt::black);
    }
    // Disabled controls keep the layout of the enabled ones and fade to the secondary ink.
    p.setColor(QPalette::Disabled, QPalette::Window, gGround);
    p.setColor(QPalette::Disabled, QPalette::Base, gPanel);
    p.setColor(QPalette::Disabled, QPalette::Button, gLine);
    QColor faded = gMuted;
    faded.setAlphaF(0.6f);
    for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, r, faded);
    }
    return p;
}

} // namespace helm
