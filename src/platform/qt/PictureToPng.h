#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace helm {

// Pictures offered in formats other than PNG, as the hand-over converts them. Safe on any
// thread.
namespace pictureToPng {

// A picture format, other than PNG, that can be converted.
bool convertible(const QString& mime);
// The PNG of a picture; nothing when it does not decode or encode. Pictures above the image
// reader's allocation limit (256 MB by default) are refused rather than decoded to whatever
// size their header claims.
std::optional<QByteArray> convert(QByteArray bytes);

} // namespace pictureToPng

} // namespace helm
