// Writes the program icon as hicolor PNG files for the installation:
//   corvane-icons OUTDIR SIZE...   writes OUTDIR/SIZExSIZE/apps/corvane.png for each size

#include <QDir>
#include <QImage>

#include <cstdio>
#include <cstdlib>

#include "app/AppIcon.h"

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fputs("usage: corvane-icons OUTDIR SIZE...\n", stderr);
        return 2;
    }
    // Painting into an image needs neither a display nor an application object.
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString folder = out.filePath(QStringLiteral("%1x%1/apps").arg(size));
        if (size <= 0 || !QDir().mkpath(folder) ||
            !corvane::appIconImage(size).save(folder + QStringLiteral("/corvane.png"), "PNG")) {
            std::fprintf(stderr, "error: cannot write the %s icon under %s\n", argv[i], argv[1]);
            return 1;
        }
    }
    return 0;
}
