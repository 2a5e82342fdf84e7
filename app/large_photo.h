// A large photo file may be kept smaller: after asking, the picture turned upright
// by its EXIF orientation, at most 600 pixels on its longer side, as a JPEG. The
// rule of what is large and how small lives in roster/photo_size.h.
#pragma once

#include "runtime/value.h"

#include <QImage>

namespace qr::app {

// The bytes to keep for a chosen photo file. A file above 1 MiB that holds a
// picture brings the Yes/No question; Yes gives the shrunk JPEG. Every other file,
// a No, or a picture that cannot be written again is kept byte for byte.
runtime::ByteSet photoToKeep(runtime::ByteSet file);

// The picture of a file in a format the photo box shows, turned upright by its EXIF
// orientation; null when the bytes hold no such picture.
QImage uprightPicture(const runtime::ByteSet& file);

// The picture brought down to the shrunk size as a JPEG at the shrunk quality;
// empty when it cannot be encoded.
runtime::ByteSet shrunkJpeg(const QImage& picture);

} // namespace qr::app
