#include "ui/preview/preview_sdl_image.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <memory>

namespace {

struct SurfaceFree {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

QImage Decode(const QByteArray& bytes, SDL_Surface* (*load)(SDL_RWops*), const QString& what,
              QString& error) {
  SDL_RWops* source = SDL_RWFromConstMem(bytes.constData(), static_cast<int>(bytes.size()));
  if (!source) {
    error = QString::fromUtf8(SDL_GetError());
    return {};
  }
  Surface decoded(load(source));
  SDL_RWclose(source);
  if (!decoded) {
    error = "The " + what + " image cannot be decoded: " + QString::fromUtf8(SDL_GetError());
    return {};
  }
  // ARGB8888 in native order is the byte layout of QImage::Format_ARGB32.
  Surface argb(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
  if (!argb) {
    error = "The " + what + " image cannot be converted: " + QString::fromUtf8(SDL_GetError());
    return {};
  }
  QImage image(argb->w, argb->h, QImage::Format_ARGB32);
  if (image.isNull()) {
    error = "Not enough memory for the " + what + " image.";
    return {};
  }
  SDL_LockSurface(argb.get());
  for (int y = 0; y < argb->h; ++y)
    std::memcpy(image.scanLine(y),
                static_cast<const uchar*>(argb->pixels) + static_cast<qsizetype>(y) * argb->pitch,
                static_cast<size_t>(argb->w) * 4);
  SDL_UnlockSurface(argb.get());
  return image;
}

}  // namespace

QImage DecodePcx(const QByteArray& bytes, QString& error) {
  return Decode(bytes, IMG_LoadPCX_RW, "PCX", error);
}

QImage DecodeTga(const QByteArray& bytes, QString& error) {
  return Decode(bytes, IMG_LoadTGA_RW, "TGA", error);
}
