// Build-time tool: renders the SVG app icon to the PNG sizes of the icon theme.
//   scrivola-render-icon <icon.svg> <output-dir> <app-id> <size>...
// writes <output-dir>/<size>x<size>/apps/<app-id>.png for every size.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <cstdio>

#include "icon_renderer.h"

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "scrivola-render-icon: %s\n", qPrintable(message));
    return 1;
}

bool writePng(const QImage& image, const QString& path) {
    // QSaveFile leaves no half-written icon behind if the write fails.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!image.save(&file, "PNG"))
        return false;
    return file.commit();
}

}  // namespace

int main(int argc, char** argv) {
    // A GUI application so that artwork with text finds its fonts; run it
    // with QT_QPA_PLATFORM=offscreen where there is no display.
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        return fail("usage: scrivola-render-icon <icon.svg> <output-dir> <app-id> <size>...");
    }
    QFile source(args[1]);
    if (!source.open(QIODevice::ReadOnly))
        return fail("cannot read " + args[1]);
    const QByteArray svg = source.readAll();

    const QDir outputDir(args[2]);
    const QString appId = args[3];
    for (qsizetype i = 4; i < args.size(); ++i) {
        bool isNumber = false;
        const int size = args[i].toInt(&isNumber);
        if (!isNumber)
            return fail("not a size: " + args[i]);
        const auto image = scrivola::renderIcon(svg, size);
        if (!image)
            return fail(QString("cannot render %1 at %2 px").arg(args[1], args[i]));

        const QString folder = QString("%1x%1/apps").arg(size);
        if (!outputDir.mkpath(folder))
            return fail("cannot create " + outputDir.filePath(folder));
        const QString path = outputDir.filePath(folder + "/" + appId + ".png");
        if (!writePng(*image, path))
            return fail("cannot write " + path);
    }
    return 0;
}
