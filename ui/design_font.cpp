#include "ui/design_font.h"

#include <QFontDatabase>

#include "ui/twips.h"

namespace scrivola {

namespace {

// Wine's Tahoma-compatible faces, which Debian installs outside the paths
// that fontconfig searches.
constexpr const char* kTahomaFiles[] = {
    "/usr/share/wine/fonts/tahoma.ttf",
    "/usr/share/wine/fonts/tahomabd.ttf",
};

QString findCaptionFamily() {
    const QString tahoma = QStringLiteral("Tahoma");
    if (QFontDatabase::families().contains(tahoma)) {
        return tahoma;
    }
    bool loaded = false;
    for (const char* file : kTahomaFiles) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
        loaded = loaded || (id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(tahoma));
    }
    return loaded ? tahoma : QStringLiteral("Sans Serif");
}

}  // namespace

QString captionFamily() {
    static const QString family = findCaptionFamily();
    return family;
}

QFont designFont(FontDesign design) {
    QFont font(captionFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pointsToPixels(design.points));
    font.setBold(design.bold);
    return font;
}

}  // namespace scrivola
