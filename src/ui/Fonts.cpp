#include "ui/Fonts.h"

#include <QFontDatabase>
#include <QPaintDevice>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace helm::Fonts {

QString family() {
    static const QString name = [] {
        QString found = QStringLiteral("Inter");
        for (const char* face : {"Regular", "Medium", "SemiBold", "Bold"}) {
            int id = QFontDatabase::addApplicationFont(
                QStringLiteral(":/fonts/Inter-%1.otf").arg(QLatin1String(face)));
            QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (!families.isEmpty()) {
                found = families.front();
            }
        }
        return found;
    }();
    return name;
}

QFont font(double px, QFont::Weight weight, const QPaintDevice* device) {
    QFont f(family());
    f.setWeight(weight);
    // Qt refuses sizes of 0 and below, and glyphs far larger than any screen only cost time.
    px = std::isfinite(px) ? std::clamp(px, 0.01, 4096.0) : 13.0;
    int dpi = device != nullptr ? device->logicalDpiY() : 96;
    f.setPointSizeF(px * 72.0 / (dpi > 0 ? dpi : 96));
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias |
                                            QFont::NoFontMerging));
    return f;
}

QFont mono(double px, QFont::Weight weight, const QPaintDevice* device) {
    QFont f = font(px, weight, device);
    f.setFamily(QStringLiteral("monospace"));
    f.setStyleHint(QFont::Monospace);
    return f;
}

} // namespace helm::Fonts
