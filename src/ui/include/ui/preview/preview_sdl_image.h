#pragma once
// PCX images, and the TGA images Qt's reader refuses (run-length coded or
// colour-mapped), through SDL2_image, a maintained decoder that reads from memory.

#include <QByteArray>
#include <QImage>
#include <QString>

/// The decoded image (ARGB32), or a null image with the decoder's reason in error.
QImage DecodePcx(const QByteArray& bytes, QString& error);
/// The decoded image (ARGB32), or a null image with the decoder's reason in error.
QImage DecodeTga(const QByteArray& bytes, QString& error);
