// The program icon at the sizes the desktop's icon theme asks for: the largest image
// an icon file holds, scaled smoothly to each size and saved as PNG in the hicolor
// layout (DIR/NxN/apps/NAME.png).
#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <span>

namespace qr::packaging {

inline constexpr std::array<int, 6> kIconSizes{16, 32, 48, 64, 128, 256};

// The largest image (by pixel count) of an icon file; a null image when the bytes are
// not an icon file or hold no readable image.
QImage largestIconImage(std::span<const std::uint8_t> iconFile);

// The image scaled into a transparent size x size square, its aspect ratio kept.
QImage squareIcon(const QImage& source, int size);

// Writes DIR/NxN/apps/NAME.png for every size of kIconSizes. False, with the file that
// failed in *error, when a folder or file cannot be written.
bool writeIconSet(const QImage& source, const QString& dir, const QString& name, QString* error);

} // namespace qr::packaging
