// Draws the sample catalogue that ships with the program: the pictures, the
// data file and the field notes of its plants, a few large pictures of other
// plants for trying out registration, and the card shown for a missing
// picture. Everything is drawn from fixed seeds, so a rerun writes the same
// files.
//
//   tolvarin_sample_generator <sample folder>
//
// writes <sample folder>/picture/, <sample folder>/new/ and
// <sample folder>/exe/NoImage.jpg.
#include "parts.h"
#include "pictures.h"
#include "catalogue.h"

#include "platform/cp932.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QGuiApplication>
#include <QSet>
#include <QTextStream>

#include <algorithm>

namespace {

// Pictures saved as Windows bitmaps, or at a size other than the usual one.
struct Variant {
    QString name;
    int number;
    QSize size;
    bool bmp;
};

const Variant variants[] = {
    {QStringLiteral("ツメクサ"), 1, QSize(400, 300), true},
    {QStringLiteral("カタバミ"), 2, QSize(400, 300), true},
    {QStringLiteral("ヤマユリ"), 3, QSize(480, 360), true},
    {QStringLiteral("ヒメオドリコソウ"), 1, QSize(512, 384), false},
    {QStringLiteral("ヘビイチゴ"), 2, QSize(600, 450), false},
};

struct Extra {
    QString name;
    QString file;
    QSize size;
};

const Extra extras[] = {
    {QStringLiteral("ホタルブクロ"), QStringLiteral("ホタルブクロ_1.jpg"), QSize(1200, 1600)},
    {QStringLiteral("ツリフネソウ"), QStringLiteral("ツリフネソウ_1.jpg"), QSize(1600, 1200)},
    {QStringLiteral("ミズヒキ"), QStringLiteral("ミズヒキ_1.jpg"), QSize(2000, 1500)},
    {QStringLiteral("ヤマブキ"), QStringLiteral("ヤマブキ_1.bmp"), QSize(800, 600)},
    {QStringLiteral("アケビ"), QStringLiteral("アケビ_1.jpg"), QSize(640, 480)},
};

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

bool encodeOrFail(const QString& text, QByteArray& out)
{
    if (!cp932::encode(text, out)) {
        err() << "cannot write in cp932: " << text << Qt::endl;
        return false;
    }
    return true;
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        err() << "cannot write " << path << Qt::endl;
        return false;
    }
    return true;
}

bool savePicture(const QImage& image, const QString& path, bool bmp)
{
    const bool ok = bmp ? image.convertToFormat(QImage::Format_RGB888).save(path, "BMP")
                        : image.save(path, "JPG", 85);
    if (!ok)
        err() << "cannot save " << path << Qt::endl;
    return ok;
}

QString dataLine(const Species& s)
{
    QStringList fields;
    fields << s.name;
    for (int v : s.seasons)
        fields << QString::number(v);
    for (int v : s.colours)
        fields << QString::number(v);
    fields << QString::number(s.flowerShape) << QString::number(s.stemHabit) << QString::number(s.leafMargin)
           << QString::number(s.leafShape) << QString::number(int(s.views.size()));
    return fields.join(QLatin1Char(','));
}

bool checkSpecies(const std::vector<Species>& list)
{
    QSet<QString> names;
    for (const Species& s : list) {
        if (names.contains(s.name)) {
            err() << "duplicate name " << s.name << Qt::endl;
            return false;
        }
        names.insert(s.name);
        if (s.name.contains(QLatin1Char(',')) || cp932::byteLength(s.name) > 50 || !cp932::representable(s.name)) {
            err() << "unusable name " << s.name << Qt::endl;
            return false;
        }
        if (s.views.empty() || s.views.size() > 4 || s.flowerShape < -1 || s.flowerShape > 10 || s.stemHabit < -1
            || s.stemHabit > 3 || s.leafMargin < -1 || s.leafMargin > 1 || s.leafShape < -1 || s.leafShape > 8) {
            err() << "attributes out of range for " << s.name << Qt::endl;
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err() << "usage: tolvarin_sample_generator <sample folder>" << Qt::endl;
        return 2;
    }
    const QFontInfo font(japaneseFont(20, false));
    if (font.family() != QStringLiteral("IPAPGothic")) {
        err() << "the font IPAPGothic is missing (Debian package fonts-ipafont-gothic); found " << font.family()
              << Qt::endl;
        return 1;
    }
    const QDir root(args[1]);
    for (const char* sub : {"picture", "new", "exe"})
        if (!root.mkpath(QString::fromLatin1(sub))) {
            err() << "cannot create " << root.filePath(QString::fromLatin1(sub)) << Qt::endl;
            return 1;
        }
    const QDir pictures(root.filePath(QStringLiteral("picture")));

    std::vector<Species> list = catalogueSpecies();
    if (!checkSpecies(list))
        return 1;
    std::sort(list.begin(), list.end(), [](const Species& a, const Species& b) { return a.name < b.name; });

    QByteArray data;
    int pictureFiles = 0, memoFiles = 0;
    for (const Species& s : list) {
        for (int i = 0; i < int(s.views.size()); ++i) {
            QSize size = defaultPictureSize(s, i);
            bool bmp = false;
            for (const Variant& v : variants)
                if (v.name == s.name && v.number == i + 1) {
                    size = v.size;
                    bmp = v.bmp;
                }
            const QString file = s.name + QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'))
                + (bmp ? QStringLiteral(".bmp") : QStringLiteral(".jpg"));
            if (!savePicture(drawSpeciesPicture(s, i, size), pictures.filePath(file), bmp))
                return 1;
            ++pictureFiles;
        }
        QByteArray line;
        if (!encodeOrFail(dataLine(s), line))
            return 1;
        data += line + "\r\n";
        if (!s.memo.isEmpty()) {
            QByteArray memo;
            for (const QString& text : s.memo) {
                QByteArray bytes;
                if (!encodeOrFail(text, bytes))
                    return 1;
                memo += bytes + "\r\n";
            }
            if (!writeBytes(pictures.filePath(s.name + QStringLiteral(".txt")), memo))
                return 1;
            ++memoFiles;
        }
    }
    if (!writeBytes(pictures.filePath(QStringLiteral("Tolvarin.dat")), data))
        return 1;

    const std::vector<Species> others = extraSpecies();
    for (const Extra& e : extras) {
        const auto it = std::find_if(others.begin(), others.end(), [&](const Species& s) { return s.name == e.name; });
        if (it == others.end()) {
            err() << "no drawing for " << e.name << Qt::endl;
            return 1;
        }
        if (!savePicture(drawLargePicture(*it, e.size), root.filePath(QStringLiteral("new/") + e.file),
                         e.file.endsWith(QStringLiteral(".bmp"))))
            return 1;
    }
    if (!savePicture(drawNoImageCard(QSize(320, 240)), root.filePath(QStringLiteral("exe/NoImage.jpg")), false))
        return 1;

    QTextStream out(stdout);
    out << list.size() << " species, " << pictureFiles << " pictures, " << memoFiles << " memos, "
        << std::size(extras) << " pictures for registration" << Qt::endl;
    return 0;
}
