#include "settings/func.h"

QString folderWithBackslash(const QString& path)
{
    if (path.isEmpty())
        return {};
    // Text is Unicode in memory, so a final '/' is always a separator: there
    // is no double-byte character whose second byte could look like one.
    if (path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

QRect placeRect(const QRect& form, const QRect& workArea)
{
    int left = form.left();
    int top = form.top();
    int width = form.width();
    int height = form.height();

    if (workArea.width() < width)
        width = workArea.width();
    if (workArea.height() < height)
        height = workArea.height();

    // The work area's right and bottom edges are exclusive: a form whose
    // left + width equals them still fits.
    const int areaRight = workArea.left() + workArea.width();
    const int areaBottom = workArea.top() + workArea.height();
    if (left + width > areaRight)
        left = areaRight - width;
    if (top + height > areaBottom)
        top = areaBottom - height;

    if (left < workArea.left())
        left = workArea.left();
    if (top < workArea.top())
        top = workArea.top();

    return QRect(left, top, width, height);
}
