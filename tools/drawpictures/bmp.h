// Writes pictures as uncompressed bottom-up Windows bitmaps and icon groups, byte for byte the same on every run.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// Format_Mono becomes 1 bit per pixel with two palette entries, Format_Indexed8 becomes
// 8 bits per pixel with all 256 palette entries kept, and Format_RGB32 becomes 24 bits per pixel.
QByteArray bmpFile(const QImage &image);

struct IconImage
{
    QImage colours; // Format_Indexed8; its colour table (2 or 16 entries) is the icon's palette
    QImage transparent; // Format_Mono, same size: 1 where the desktop shows through
};

QByteArray icoFile(const QList<IconImage> &images);
