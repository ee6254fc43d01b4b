// The stored pictures as assets/pictures.txt lists them, compiled into the picture tools.
#pragma once

#include "picturelist_text.h" // made by CMake from the list file

#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>

#include <stdexcept>

struct ListedPicture
{
    QString name; // the picture is pictures/NAME.bmp
    QString note; // the rest of its line: the controls that start with it, what it shows
};

// The listed pictures in the list's order, a row (lines between blank lines) at a time.
inline QList<QList<ListedPicture>> listedPictureRows()
{
    static const QRegularExpression entry(QStringLiteral("^([A-Za-z0-9-]+)((?:[ :].*)?)$"));
    const QString file = QString::fromUtf8(kPictureListFile);
    const QStringList lines = QString::fromUtf8(kPictureListText).split(QRegularExpression(QStringLiteral("\r?\n")));
    QList<QList<ListedPicture>> rows(1);
    QSet<QString> seen;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.trimmed().isEmpty()) {
            if (!rows.last().isEmpty())
                rows.emplace_back();
            continue;
        }
        if (line.startsWith(u'#'))
            continue;
        const QRegularExpressionMatch m = entry.match(line);
        if (!m.hasMatch())
            throw std::runtime_error(QStringLiteral("%1, line %2: not a picture name: %3")
                                         .arg(file).arg(i + 1).arg(line).toStdString());
        if (seen.contains(m.captured(1)))
            throw std::runtime_error(QStringLiteral("%1, line %2: %3 is listed twice")
                                         .arg(file).arg(i + 1).arg(m.captured(1)).toStdString());
        seen.insert(m.captured(1));
        rows.last().append({ m.captured(1), m.captured(2) });
    }
    if (rows.last().isEmpty())
        rows.removeLast();
    return rows;
}

inline QStringList listedPictureNames()
{
    QStringList names;
    for (const QList<ListedPicture> &row : listedPictureRows())
        for (const ListedPicture &p : row)
            names << p.name;
    return names;
}
