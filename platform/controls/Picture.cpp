#include "controls/Picture.h"

#include <utility>

namespace controls {

Picture::Picture(QImage image) : m_image(std::move(image)) {}

PictureRef MakePicture(QImage image) {
    return std::make_shared<Picture>(std::move(image));
}

PictureRef LoadPicture(const QString& path) {
    QImage image;
    if (path.isEmpty() || !image.load(path)) return nullptr;
    return MakePicture(std::move(image));
}

bool HasNoBitmap(const PictureRef& ref) {
    return !ref || ref->isEmpty();
}

}  // namespace controls
