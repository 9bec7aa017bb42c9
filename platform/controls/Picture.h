#pragma once
// The picture object that hosts and controls hand each other: a bitmap behind a shared,
// reference-counted handle. A null reference is Nothing; a Picture without a bitmap is the empty
// picture, which is something else.

#include <QImage>
#include <QString>
#include <memory>

namespace controls {

class Picture {
public:
    // The empty picture: no bitmap, zero size.
    Picture() = default;
    explicit Picture(QImage image);

    const QImage& image() const { return m_image; }
    bool isEmpty() const { return m_image.isNull(); }
    // Logical pixels: a picture drawn for a scaled screen holds more device pixels.
    int width() const;
    int height() const;

private:
    QImage m_image;
};

using PictureRef = std::shared_ptr<Picture>;

// A new picture holding image (an empty picture when image is null).
PictureRef MakePicture(QImage image);
// The picture in the file or resource at path, as drawn for a screen of the given device pixel
// ratio (see gdi::LoadImageFor); nullptr (Nothing) when it cannot be read.
PictureRef LoadPicture(const QString& path, qreal ratio = 1);
// True when ref is Nothing or the empty picture: either way there is no bitmap to show.
bool HasNoBitmap(const PictureRef& ref);

}  // namespace controls
