#pragma once
// Picture files of the catalogue: how they are named, where they are looked
// for, and how they are decoded.
//
// A picture file is folder + species name + two-digit number + ".jpg" or
// ".bmp". It is looked for in the hard-disk folder first and the CD-ROM
// folder second, ".jpg" before ".bmp" within a folder. Nothing is cached:
// every lookup asks the file system afresh.
//
// All functions are safe to call from several threads at once.
#include <QImage>
#include <QSize>
#include <QString>

#include "images/Bitmap24.h"

// The two folders pictures are looked for in; each ends in "/".
struct PictureFolders {
    QString cdDir;  // the distributed CD-ROM's pictures; never written
    QString hddDir; // the hard disk's pictures; receives every added picture
};

// Pictures with more pixels than this are refused before anything is
// allocated for them (a damaged or hostile header could claim gigapixels).
constexpr qint64 MaxPicturePixels = 150'000'000;

// The two-digit text of a picture number in file names: the number's last
// two decimal digits, so 1 gives "01", 12 "12", 100 "00" and 123 "23".
// Numbers below 0 are not picture numbers; they give "00" like 0.
QString pictureNumberText(int number);

// The path of picture `number` of species `name`, or an empty string when no
// file exists. Tries hddDir .jpg, hddDir .bmp, cdDir .jpg, cdDir .bmp, in
// that order: at most four existence checks, no folder listing.
QString findPictureFile(const PictureFolders& folders, const QString& name, int number);

// True when the species' picture 1, as findPictureFile finds it, lies in
// the CD-ROM folder itself, which makes its name unchangeable. A species
// without a picture 1, an empty cdDir, or a cdDir that is the hard-disk
// folder too, gives false.
bool isCdRomSpecies(const PictureFolders& folders, const QString& name);

// True when `path` is loaded as a Windows bitmap: its extension is exactly
// ".bmp" (lower case). Any other path is decoded as JPEG.
bool isBitmapPath(const QString& path);

// What the user is told when `path` names no regular file: it is missing,
// or it is a folder or some other kind of file.
QString whyNoPictureFile(const QString& path);

// Decodes a picture file at full size, upright: a JPEG whose EXIF data says
// it was taken with the camera on its side is turned (orientation.h). On
// failure returns false, leaves `out` unchanged and (if given) puts the
// reason, in Japanese, in `error`. A file that is empty, damaged, cut short,
// too large, or larger than its length can describe fails; a JPEG whose
// data the library finds missing or corrupt (such as a file still being
// copied) fails too, so that the caller may retry it later. Harmless flaws
// (stray bytes between segments, an unknown JFIF version) do not fail.
// Bitmaps are decoded by bmpread.h, JPEGs by jpegread.h.
bool loadPictureFile(const QString& path, Bitmap24& out, QString* error = nullptr);

// As loadPictureFile, but the caller says how to decode: as a Windows bitmap
// or as JPEG (for chosen files judged by a lower-cased extension).
bool loadPictureAs(const QString& path, bool asBitmap, Bitmap24& out, QString* error = nullptr);

// Decodes a JPEG file at the smallest of the scales 1/8, 1/4, 1/2 and 1
// whose result still covers minWidth x minHeight (at full size when the
// picture is smaller than that), and reports the picture's full size; both
// upright, like loadPictureFile.
// Fails like loadPictureFile, leaving `out` and `fullSize` unchanged.
bool loadJpegScaled(const QString& path, int minWidth, int minHeight, Bitmap24& out, QSize* fullSize,
                    QString* error = nullptr);

// loadJpegScaled for JPEG files; a bitmap file (see isBitmapPath) is decoded
// at full size, which is then also its reported size, and the caller may
// shrink it.
bool loadPictureScaled(const QString& path, int minWidth, int minHeight, Bitmap24& out, QSize* fullSize,
                       QString* error = nullptr);

// Decodes a picture file for storing in the catalogue (as a Windows bitmap
// or as JPEG, like loadPictureAs). A picture that stands larger than
// `longest` pixels either way comes out in `reduced`, upright and reduced so
// that its longer side is `longest`: byte for byte reduceToLongestSide() of
// the upright picture. A JPEG is reduced while it is decoded, holding only a
// band of its rows, never the whole picture. A smaller picture is decoded
// all the same, to make sure it is one the program can show, but not kept:
// `reduced` is then empty. `uprightSize` (if given) receives the picture's
// size as it stands. Fails like loadPictureFile.
bool decodeForStoring(const QString& path, bool asBitmap, int longest, Bitmap24& reduced, QSize* uprightSize,
                      QString* error = nullptr);

// The width and height from a picture file's header, without decoding its
// pixels, as the picture stands upright. False when the header cannot be
// read or is not sensible.
bool readPictureSize(const QString& path, QSize& size, QString* error = nullptr);

// The picture shown for a number that has no file: "NoImage.jpg" in the
// executable's folder when it exists and decodes, otherwise the built-in
// picture "NoImage".
QImage missingPicture();
