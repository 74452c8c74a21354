#include "images/picturefaults.h"

#include <cerrno>

namespace picturefaults {

QString cannotOpen(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("画像ファイルが見つかりません。");
    case EACCES:
    case EPERM:
        return QStringLiteral("画像ファイルを読む権限がありません。");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("同時に開いているファイルが多すぎるため、画像ファイルを開けません。");
    default:
        return QStringLiteral("画像ファイルを開けません（エラー番号 %1）。").arg(errorNumber);
    }
}

QString notAFile(const QString& path)
{
    return QStringLiteral("「%1」は画像ファイルではありません。").arg(path);
}

QString empty()
{
    return QStringLiteral("画像ファイルが空です。");
}

QString cutShort()
{
    return QStringLiteral("画像ファイルが途中で切れています。");
}

QString damaged()
{
    return QStringLiteral("画像のデータが壊れています。");
}

QString pixelsLeftOut()
{
    return QStringLiteral("画像のデータが一部の点を飛ばしていて、その色が決まりません。");
}

QString tooLarge(qint64 width, qint64 height)
{
    return QStringLiteral("画像が大きすぎます（%1 × %2 ドット）。").arg(width).arg(height);
}

QString sizeBeyondFile(qint64 width, qint64 height)
{
    return QStringLiteral("画像の大きさ（%1 × %2 ドット）がファイルの長さに見合いません。"
                          "壊れているか、正しくない画像です。")
        .arg(width)
        .arg(height);
}

QString tooManyScans(int limit)
{
    return QStringLiteral("段階的に表示する JPEG 画像の走査が多すぎます（%1 回を超えています）。"
                          "壊れているか、正しくない画像です。")
        .arg(limit);
}

QString unsupported(const QString& kind)
{
    return QStringLiteral("対応していない種類の画像です（%1）。").arg(kind);
}

QString notJpeg()
{
    return QStringLiteral("JPEG 画像ではありません。");
}

QString notBitmap()
{
    return QStringLiteral("BMP 画像ではありません。");
}

QString noMemory()
{
    return QStringLiteral("画像を読み込むメモリが足りません。");
}

QString withDetail(const QString& text, const QString& libraryName, const QString& detail)
{
    if (detail.isEmpty())
        return text;
    return QStringLiteral("%1（%2: %3）").arg(text, libraryName, detail);
}

} // namespace picturefaults
