#pragma once
// PNG files of thumbnails, through libpng: 8-bit RGB pictures with text
// keys. Thumbnails are read far more often than they are written, and must
// be read much faster than their pictures decode, so they are written
// unfiltered and uncompressed: reading one is little more than copying its
// bytes.
#include <QByteArray>
#include <QHash>
#include <QImage>

#include <utility>
#include <vector>

using PngTexts = std::vector<std::pair<QByteArray, QByteArray>>;

// Encodes `image` (any format; stored as 8-bit RGB) with the text keys
// `texts` (Latin-1 keys of 1 to 79 characters, Latin-1 values) ahead of the
// pixels. False when libpng refuses.
bool encodePng(const QImage& image, const PngTexts& texts, QByteArray& out);

// Decodes a PNG that is 8-bit RGB and not interlaced into a Format_RGB888
// image, with the text keys that come before its pixels. Any other PNG, one
// larger than `maxSide` pixels either way (checked before anything is
// allocated for it) or a broken one gives false. Never ends the process.
bool decodePng(const QByteArray& bytes, int maxSide, QImage& image, QHash<QByteArray, QByteArray>& texts);
