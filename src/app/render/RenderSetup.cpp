#include "app/render/RenderSetup.h"

#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>

namespace helm {

namespace {

// The faces built into the program: Inter for every text, DejaVu Sans Mono for codes and keys.
constexpr const char* bundledFonts[] = {
    ":/fonts/Inter-Regular.otf", ":/fonts/Inter-Medium.otf",   ":/fonts/Inter-SemiBold.otf",
    ":/fonts/Inter-Bold.otf",    ":/fonts/DejaVuSansMono.ttf", ":/fonts/DejaVuSansMono-Bold.ttf",
};

// Only the bundled folder; every family asked for, generic or unknown, ends on a bundled
// face; one rendering for every font.
QByteArray configuration(const QString& fonts, const QString& cache) {
    QByteArray text = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>@FONTS@</dir>
  <cachedir>@CACHE@</cachedir>
  <alias binding="same"><family>monospace</family><prefer><family>DejaVu Sans Mono</family></prefer></alias>
  <alias binding="same"><family>sans-serif</family><prefer><family>Inter</family></prefer></alias>
  <alias binding="same"><family>serif</family><prefer><family>Inter</family></prefer></alias>
  <alias binding="same"><family>system-ui</family><prefer><family>Inter</family></prefer></alias>
  <match target="pattern">
    <edit name="family" mode="append_last"><string>Inter</string></edit>
  </match>
  <match target="font">
    <edit name="antialias" mode="assign"><bool>true</bool></edit>
    <edit name="hinting" mode="assign"><bool>false</bool></edit>
    <edit name="hintstyle" mode="assign"><const>hintnone</const></edit>
    <edit name="autohint" mode="assign"><bool>false</bool></edit>
    <edit name="rgba" mode="assign"><const>none</const></edit>
    <edit name="lcdfilter" mode="assign"><const>lcdnone</const></edit>
    <edit name="embeddedbitmap" mode="assign"><bool>false</bool></edit>
  </match>
</fontconfig>
)";
    text.replace("@FONTS@", fonts.toHtmlEscaped().toUtf8());
    text.replace("@CACHE@", cache.toHtmlEscaped().toUtf8());
    return text;
}

} // namespace

const char* const RenderSetup::droppedVariables[] = {"QT_SCALE_FACTOR",
                                                     "QT_SCREEN_SCALE_FACTORS",
                                                     "QT_FONT_DPI",
                                                     "QT_USE_PHYSICAL_DPI",
                                                     "QT_ENABLE_HIGHDPI_SCALING",
                                                     "QT_SCALE_FACTOR_ROUNDING_POLICY",
                                                     "QT_QPA_PLATFORMTHEME",
                                                     "QT_STYLE_OVERRIDE",
                                                     "FONTCONFIG_PATH",
                                                     "FONTCONFIG_SYSROOT",
                                                     nullptr};

RenderSetup::RenderSetup() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    for (const char* const* name = droppedVariables; *name != nullptr; ++name) {
        qunsetenv(*name);
    }
    if (!dir_.isValid()) {
        return;
    }
    QDir root(dir_.path());
    if (!root.mkpath("fonts") || !root.mkpath("cache")) {
        return;
    }
    for (const char* font : bundledFonts) {
        QString name = QString::fromLatin1(font).section('/', -1);
        if (!QFile::copy(QString::fromLatin1(font), root.filePath("fonts/" + name))) {
            return;
        }
    }
    const QByteArray conf = configuration(root.filePath("fonts"), root.filePath("cache"));
    if (wholeFile::write(fontConfig().toStdString(),
                         std::string_view(conf.constData(), conf.size()), 0644)) {
        return;
    }
    qputenv("FONTCONFIG_FILE", QFile::encodeName(fontConfig()));
    fontsReady_ = true;
}

QString RenderSetup::fontConfig() const {
    return QDir(dir_.path()).filePath("fonts.conf");
}

} // namespace helm
