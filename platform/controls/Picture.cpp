#include "controls/Picture.h"

#include <utility>

#include "graphics/Gdi.h"
#include "graphics/Raster.h"

namespace controls {

Picture::Picture(QImage image) : m_image(std::move(image)) {}

int Picture::width() const {
    return gdi::raster::logicalSize(m_image).width();
}
int Picture::height() const {
    return gdi::raster::logicalSize(m_image).height();
}

PictureRef MakePicture(QImage image) {
    return std::make_shared<Picture>(std::move(image));
}

PictureRef LoadPicture(const QString& path, qreal ratio) {
    if (path.isEmpty()) return nullptr;
    QImage image = gdi::LoadImageFor(path, ratio);
    if (image.isNull()) return nullptr;
    return MakePicture(std::move(image));
}

bool HasNoBitmap(const PictureRef& ref) {
    return !ref || ref->isEmpty();
}

}  // namespace controls
