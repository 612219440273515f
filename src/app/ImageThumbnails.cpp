#include "app/ImageThumbnails.h"

#include <QHash>
#include <QImage>

#include "coding/Bitmap.h"
#include "coding/ImageCodes.h"
#include "coding/ImageFragments.h"
#include "coding/ImageSignature.h"
#include "grid/QuorinDoc.h"

namespace quorin {

namespace {
constexpr int kThumbnail = 16;

QPixmap MakeThumbnail(const std::string& fileName) {
    CFragment fragment;
    const bool isFragment = IsFragmentDescriptor(fileName);
    if (isFragment && !ParseFragmentDescriptor(fileName, fragment)) return {};
    CBitmap bitmap;
    if (!bitmap.LoadFile(isFragment ? fragment.Source : fileName)) return {};
    std::int64_t left = 0, top = 0, width = bitmap.Width(), height = bitmap.Height();
    if (isFragment) {
        left = static_cast<std::int64_t>(bitmap.Width() / fragment.Across) * fragment.X;
        top = static_cast<std::int64_t>(bitmap.Height() / fragment.Down) * fragment.Y;
        width = fragment.Width;
        height = fragment.Height;
    }
    QImage image(kThumbnail, kThumbnail, QImage::Format_RGB32);
    for (int y = 0; y < kThumbnail; ++y)
        for (int x = 0; x < kThumbnail; ++x) {
            const CRgb p = bitmap.Pixel(left + CentreSample(x, width, kThumbnail),
                                        top + CentreSample(y, height, kThumbnail));
            image.setPixel(x, y, qRgb(p.R, p.G, p.B));
        }
    return QPixmap::fromImage(image);
}
}  // namespace

QPixmap ImageThumbnail(CQuorinDoc& doc, double value, int column) {
    // Decoded once per file while the program runs; a Grid repaints often.
    static QHash<QString, QPixmap> cache;
    const std::string name = GetImageName(doc, value, column);
    if (name == kNoImage || name.empty() || name[0] == '~') return {};
    const std::string file = GetImageFileName(doc, name);
    if (file == kNoImage) return {};
    const QString key = QString::fromStdString(file);
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.insert(key, MakeThumbnail(file));
    return *it;
}

}  // namespace quorin
