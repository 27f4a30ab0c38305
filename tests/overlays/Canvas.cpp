#include "Canvas.h"

#include "support/WidgetApplication.h"

#include <QDir>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace helm::test {

void needApplication() {
    needWidgetApplication("overlays_tests");
}

QImage canvas(int w, int h) {
    needApplication();
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

int maxDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return worst;
}

::testing::AssertionResult matchesGolden(const QImage& image, const std::string& name) {
    const QString path =
        QStringLiteral(HELM_GOLDEN_DIR "/%1.png").arg(QString::fromStdString(name));
    QImage actual = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (std::getenv("HELM_UPDATE_GOLDEN") != nullptr) {
        QDir().mkpath(QStringLiteral(HELM_GOLDEN_DIR));
        actual.save(path);
        return ::testing::AssertionSuccess() << "rewritten";
    }
    QImage golden = QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (golden.isNull()) {
        return ::testing::AssertionFailure() << "no golden " << path.toStdString();
    }
    if (golden.size() != actual.size()) {
        return ::testing::AssertionFailure() << name << ": size differs";
    }
    QImage diff(actual.size(), QImage::Format_ARGB32);
    diff.fill(Qt::black);
    long long beyond = 0;
    for (int y = 0; y < actual.height(); ++y) {
        const QRgb* a = reinterpret_cast<const QRgb*>(actual.constScanLine(y));
        const QRgb* g = reinterpret_cast<const QRgb*>(golden.constScanLine(y));
        for (int x = 0; x < actual.width(); ++x) {
            int d = std::max(
                {std::abs(qRed(a[x]) - qRed(g[x])), std::abs(qGreen(a[x]) - qGreen(g[x])),
                 std::abs(qBlue(a[x]) - qBlue(g[x])), std::abs(qAlpha(a[x]) - qAlpha(g[x]))});
            if (d > 2) {
                ++beyond;
                diff.setPixel(x, y, qRgb(255, std::min(255, d * 4), 0));
            }
        }
    }
    // Every pixel: the smallest layer, label or symbol covers fewer pixels than any share of
    // a picture that would still let glyph edges through.
    if (beyond == 0) {
        return ::testing::AssertionSuccess();
    }
    QDir().mkpath(QStringLiteral(HELM_GOLDEN_OUT));
    QString out = QStringLiteral(HELM_GOLDEN_OUT "/%1").arg(QString::fromStdString(name));
    actual.save(out + QStringLiteral(".actual.png"));
    diff.save(out + QStringLiteral(".diff.png"));
    return ::testing::AssertionFailure()
           << name << ": " << beyond << " pixels differ; see " << out.toStdString() << ".*.png";
}

} // namespace helm::test
