#include "app/ImageThumbnails.h"

#include <filesystem>

#include <QHash>
#include <QString>
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
    // A bitmap changed on disk is decoded again: the key carries its size and time.
    CFragment fragment;
    const std::string& source =
        IsFragmentDescriptor(file) && ParseFragmentDescriptor(file, fragment) ? fragment.Source : file;
    std::error_code ec;
    const auto size = std::filesystem::file_size(source, ec);
    const auto time = ec ? std::filesystem::file_time_type{} : std::filesystem::last_write_time(source, ec);
    const QString key = QString::fromStdString(file) + QString("|%1|%2").arg(ec ? 0 : size).arg(
        static_cast<qint64>(time.time_since_epoch().count()));
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.insert(key, MakeThumbnail(file));
    return *it;
}

}  // namespace quorin
