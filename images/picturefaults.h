#pragma once
// What the user is told when a picture file cannot be shown: one sentence
// in Japanese per kind of fault. A decoding library's own (English) text is
// kept only as an appended detail, for whoever reports the problem.
#include <QString>
#include <QtGlobal>

namespace picturefaults {

// The file cannot be opened; `errorNumber` is the system's errno.
QString cannotOpen(int errorNumber);
// The path names no regular file.
QString notAFile(const QString& path);
// The file holds nothing.
QString empty();
// The file ends before the picture does.
QString cutShort();
// The picture data is broken.
QString damaged();
// The data skips pixels and so leaves their colour unsaid.
QString pixelsLeftOut();
// More pixels than the program takes.
QString tooLarge(qint64 width, qint64 height);
// More pixels than a file of this length can describe: a damaged header,
// or a file made to exhaust memory and time.
QString sizeBeyondFile(qint64 width, qint64 height);
// A progressive JPEG with more scans than any real photograph has.
QString tooManyScans(int limit);
// A kind of picture the program does not read; `kind` names it.
QString unsupported(const QString& kind);
// Not a JPEG or not a Windows bitmap at all.
QString notJpeg();
QString notBitmap();
// Memory ran out while decoding.
QString noMemory();

// `text` followed by the library's own words about the fault.
QString withDetail(const QString& text, const QString& libraryName, const QString& detail);

} // namespace picturefaults
