// Drawing of the graphics host on raster bitmaps, and bitmap loading through the process-wide cache.
#include "IGraphicsRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "Assert.h"
#include "BitmapCache.h"
#include "Blit.h"
#include "MemoryBitmap.h"
#include "PngResource.h"
#include "ScaledBlit.h"
#include "SystemBitmap.h"

namespace {
constexpr int kRowAlignment = 4;

void FillBitmap(RasterBitmap* bitmap, Pixel pixel) {
  for (int y = 0; y < bitmap->Height(); ++y) {
    Pixel* row = RowAddress(*bitmap, y);
    for (int x = 0; x < bitmap->Width(); ++x) row[x] = pixel;
  }
}

// Mode for points and arcs: the blend's arithmetic without weighting by the source's alpha.
int PointMode(const IBlend* blend) {
  if (blend && blend->mMethod == IBlend::BlendAdd) return kBlitAdd;
  if (blend && blend->mMethod == IBlend::BlendDodge) return kBlitDodge;
  return kBlitCopy;
}
}  // namespace

IGraphicsRaster::IGraphicsRaster(IPluginBase* plug, int width, int height, int frameRate)
    : IGraphics(plug, width, height, frameRate) {}

IGraphicsRaster::~IGraphicsRaster() = default;

void IGraphicsRaster::PrepareDrawing() {
  mDrawBitmap = std::make_unique<SystemBitmap>(WindowWidth(), WindowHeight());
  mScratch = std::make_unique<MemoryBitmap>(0, 0, kRowAlignment);
}

int IGraphicsRaster::BlitMode(const IBlend* blend) {
  if (!blend) return kBlitSourceAlpha;
  switch (blend->mMethod) {
    case IBlend::BlendCopy:
      return kBlitCopy;
    case IBlend::BlendAdd:
      return kBlitSourceAlpha | kBlitAdd;
    case IBlend::BlendDodge:
      return kBlitSourceAlpha | kBlitDodge;
    default:
      return kBlitSourceAlpha;
  }
}

float IGraphicsRaster::BlitWeight(const IBlend* blend) { return blend ? blend->mWeight : 1.0f; }

bool IGraphicsRaster::DrawBitmap(const IBitmap* bitmap, const IRect* dest, int srcX, int srcY, const IBlend* blend) {
  if (mScale == 1.0) {
    const IRect c = dest->Intersect(&mDrawRect);
    if (c.Empty() || !bitmap->mData || !mDrawBitmap) return true;
    Blit(mDrawBitmap.get(), bitmap->mData, c.L, c.T, srcX + c.L - dest->L, srcY + c.T - dest->T, c.W(), c.H(),
         BlitWeight(blend), BlitMode(blend));
    return true;
  }
  const IRect d = ToPhysical(*dest);
  const IRect drawRect = ToPhysical(mDrawRect);
  const IRect c = d.Intersect(&drawRect);
  if (c.Empty() || !bitmap->mData || !mDrawBitmap) return true;
  int artFrameHeight = 0;
  RasterBitmap* art = ArtAtScale(bitmap, &artFrameHeight);
  if (!art) return true;
  // The source position goes frame by frame: a frame's edge must not round into its neighbour.
  const int frameHeight = bitmap->FrameHeight();
  const int frame = frameHeight > 0 ? srcY / frameHeight : 0;
  const int top = frame * artFrameHeight + ToPhysical(srcY - frame * frameHeight) + c.T - d.T;
  const int height = std::min(c.H(), (frame + 1) * artFrameHeight - top);
  if (height <= 0) return true;
  Blit(mDrawBitmap.get(), art, c.L, c.T, ToPhysical(srcX) + c.L - d.L, top, c.W(), height, BlitWeight(blend),
       BlitMode(blend));
  return true;
}

RasterBitmap* IGraphicsRaster::FindOrLoad(int id, const char* name) {
  BitmapCache& cache = BitmapCache::Instance();
  ScopedLock lock(cache.Lock());
  RasterBitmap* bitmap = cache.Find(id);
  if (!bitmap) {
    bitmap = LoadPlatformBitmap(id, name);
    if (bitmap) cache.Add(id, bitmap);
  }
  return bitmap;
}

RasterBitmap* IGraphicsRaster::ArtAtScale(const IBitmap* bitmap, int* frameHeight) {
  RasterBitmap* source = bitmap->mData;
  const int frames = bitmap->N > 1 ? bitmap->N : 1;
  *frameHeight = bitmap->FrameHeight();
  if (!source || mScale == 1.0) return source;
  for (const ScaledArt& art : mScaledArt)
    if (art.mSource == source) {
      *frameHeight = art.mFrameHeight;
      return art.mArt;
    }

  // At 200 % the twin is drawn as it is and kept in the shared cache; at other scales it is only the source of
  // the resampling, decoded for it and let go again unless an editor at 200 % holds it already.
  RasterBitmap* twin = nullptr;
  std::unique_ptr<RasterBitmap> passingTwin;
  for (const LoadedBitmap& loaded : mLoaded)
    if (loaded.mBitmap == source) {
      const int twinId = loaded.mId + kDoubleSizePngOffset;
      if (mScale == 2.0) {
        twin = FindOrLoad(twinId, loaded.mName.c_str());
      } else {
        BitmapCache& cache = BitmapCache::Instance();
        ScopedLock lock(cache.Lock());
        twin = cache.Find(twinId);
        if (!twin) {
          passingTwin.reset(LoadPlatformBitmap(twinId, loaded.mName.c_str()));
          twin = passingTwin.get();
        }
      }
      break;
    }
  // A twin that is not twice the size is not one.
  if (twin && (twin->Width() != 2 * source->Width() || twin->Height() != 2 * source->Height())) twin = nullptr;
  ScaledArt art{source, nullptr, nullptr, ToPhysical(bitmap->FrameHeight())};
  if (twin && mScale == 2.0) {
    art.mArt = twin;
    art.mFrameHeight = 2 * bitmap->FrameHeight();
  } else {
    RasterBitmap* from = twin ? twin : source;
    const int fromFrameHeight = from->Height() / frames;
    const int width = ToPhysical(source->Width());
    art.mOwned = std::make_unique<MemoryBitmap>(width, art.mFrameHeight * frames, kRowAlignment);
    if (!art.mOwned->Bits()) return nullptr;
    for (int k = 0; k < frames; ++k) {
      const RasterRect to{0, k * art.mFrameHeight, width, (k + 1) * art.mFrameHeight};
      const RasterRect window{0, k * fromFrameHeight, from->Width(), (k + 1) * fromFrameHeight};
      ScaledBlit(art.mOwned.get(), to, from, &window);
    }
    art.mArt = art.mOwned.get();
  }
  mScaledArt.push_back(std::move(art));
  *frameHeight = mScaledArt.back().mFrameHeight;
  return mScaledArt.back().mArt;
}

long IGraphicsRaster::ScaledArtPixels() const {
  long pixels = 0;
  for (const ScaledArt& art : mScaledArt)
    if (art.mOwned) pixels += long(art.mOwned->Width()) * art.mOwned->Height();
  return pixels;
}

void IGraphicsRaster::OnScaleChanged() {
  mScaledArt.clear();
  if (mDrawBitmap) mDrawBitmap->Resize(WindowWidth(), WindowHeight());
}

bool IGraphicsRaster::DrawRotatedBitmap(const IBitmap*, int, int, double, int, const IBlend*) { return false; }

bool IGraphicsRaster::DrawRotatedMask(const IBitmap*, const IBitmap*, const IBitmap*, int, int, double,
                                      const IBlend*) {
  return false;
}

void IGraphicsRaster::PutPixel(const IColor* color, int x, int y, float weight, int mode) {
  if (!mDrawBitmap) return;
  if (!mColorBitmap) mColorBitmap = std::make_unique<MemoryBitmap>(1, 1, kRowAlignment);
  mColorBitmap->Resize(1, 1);
  if (!mColorBitmap->Bits()) return;
  mColorBitmap->Bits()[0] = color->Packed();
  Blit(mDrawBitmap.get(), mColorBitmap.get(), x, y, nullptr, weight, mode);
}

bool IGraphicsRaster::DrawPoint(const IColor* color, float x, float y, const IBlend* blend, bool) {
  PutPixel(color, static_cast<int>(x + 0.5f), static_cast<int>(y + 0.5f), BlitWeight(blend), PointMode(blend));
  return true;
}

bool IGraphicsRaster::SetPixel(const IColor* color, int x, int y) {
  // Checked here although callers are meant to stay inside: a stray point must not write past the surface.
  if (!mDrawBitmap || !mDrawBitmap->Bits() || x < 0 || y < 0 || x >= mDrawBitmap->Width() ||
      y >= mDrawBitmap->Height())
    return false;
  RowAddress(*mDrawBitmap, y)[x] = color->Packed();
  return true;
}

bool IGraphicsRaster::DrawLine(const IColor* color, float x1, float y1, float x2, float y2, const IBlend* blend,
                               bool) {
  int x = static_cast<int>(x1), y = static_cast<int>(y1);
  const int xEnd = static_cast<int>(x2), yEnd = static_cast<int>(y2);
  const int dx = std::abs(xEnd - x), dy = -std::abs(yEnd - y);
  const int sx = x < xEnd ? 1 : -1, sy = y < yEnd ? 1 : -1;
  int err = dx + dy;
  const float weight = BlitWeight(blend);
  const int mode = BlitMode(blend);
  for (;;) {
    PutPixel(color, x, y, weight, mode);
    if (x == xEnd && y == yEnd) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
  return true;
}

bool IGraphicsRaster::DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
                              const IBlend* blend, bool) {
  if (r <= 0.0f || maxAngle < minAngle) return false;
  constexpr double kDegree = 3.14159265358979323846 / 180.0;
  // About one pixel of arc per step.
  const double step = 1.0 / (r * kDegree);
  int lastX = INT32_MIN, lastY = INT32_MIN;
  for (double a = minAngle; a <= maxAngle + step / 2; a += step) {
    const double angle = (a > maxAngle ? maxAngle : a) * kDegree;
    const int x = static_cast<int>(std::lround(cx + r * std::sin(angle)));
    const int y = static_cast<int>(std::lround(cy - r * std::cos(angle)));
    if (x == lastX && y == lastY) continue;
    PutPixel(color, x, y, BlitWeight(blend), PointMode(blend));
    lastX = x;
    lastY = y;
  }
  return true;
}

bool IGraphicsRaster::DrawCircle(const IColor* color, float cx, float cy, float r, const IBlend* blend, bool) {
  // The last step would meet the first pixel again.
  return DrawArc(color, cx, cy, r, 0.0f, 360.0f - 0.5f / r, blend, false);
}

bool IGraphicsRaster::FillRect(const IColor* color, const IRect* logical, const IBlend* blend) {
  const IRect physical = ToPhysical(*logical);
  const IRect* rect = &physical;
  if (!mDrawBitmap || rect->W() <= 0 || rect->H() <= 0) return false;
  if (!mColorBitmap) mColorBitmap = std::make_unique<MemoryBitmap>(0, 0, kRowAlignment);
  mColorBitmap->Resize(rect->W(), rect->H());
  if (!mColorBitmap->Bits()) return false;
  FillBitmap(mColorBitmap.get(), color->Packed());
  Blit(mDrawBitmap.get(), mColorBitmap.get(), rect->L, rect->T, nullptr, BlitWeight(blend), BlitMode(blend));
  return true;
}

IColor IGraphicsRaster::GetPixel(int x, int y) {
  if (!mDrawBitmap || !mDrawBitmap->Bits() || x < 0 || y < 0 || x >= mDrawBitmap->Width() ||
      y >= mDrawBitmap->Height())
    return IColor(0, 0, 0, 0);
  const Pixel p = RowAddress(*mDrawBitmap, y)[x];
  return IColor(int(p >> 24), int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF));
}

void* IGraphicsRaster::GetDrawBits() { return mDrawBitmap ? mDrawBitmap->Bits() : nullptr; }

bool IGraphicsRaster::DrawVerticalLine(const IColor* color, int x, int yLow, int yHigh) {
  if (!mDrawBitmap || !mDrawBitmap->Bits() || mDrawBitmap->Width() <= 0 || mDrawBitmap->Height() <= 0) return false;
  const int maxX = mDrawBitmap->Width() - 1, maxY = mDrawBitmap->Height() - 1;
  x = x < 0 ? 0 : (x > maxX ? maxX : x);
  yLow = yLow < 0 ? 0 : (yLow > maxY ? maxY : yLow);
  yHigh = yHigh < 0 ? 0 : (yHigh > maxY ? maxY : yHigh);
  for (int y = yLow; y <= yHigh; ++y) RowAddress(*mDrawBitmap, y)[x] = color->Packed();
  return true;
}

bool IGraphicsRaster::DrawHorizontalLine(const IColor* color, int y, int xLow, int xHigh) {
  if (!mDrawBitmap || !mDrawBitmap->Bits() || mDrawBitmap->Width() <= 0 || mDrawBitmap->Height() <= 0) return false;
  const int maxX = mDrawBitmap->Width() - 1, maxY = mDrawBitmap->Height() - 1;
  y = y < 0 ? 0 : (y > maxY ? maxY : y);
  xLow = xLow < 0 ? 0 : (xLow > maxX ? maxX : xLow);
  xHigh = xHigh < 0 ? 0 : (xHigh > maxX ? maxX : xHigh);
  Pixel* row = RowAddress(*mDrawBitmap, y);
  for (int x = xLow; x <= xHigh; ++x) row[x] = color->Packed();
  return true;
}

void IGraphicsRaster::Resize(int width, int height) {
  IGraphics::Resize(width, height);
  if (mDrawBitmap) mDrawBitmap->Resize(WindowWidth(), WindowHeight());
}

IBitmap IGraphicsRaster::LoadBitmap(int id, const char* name, int nFrames) {
  BitmapCache& cache = BitmapCache::Instance();
  ScopedLock lock(cache.Lock());
  RasterBitmap* bitmap = cache.Find(id);
  if (!bitmap) {
    bitmap = LoadPlatformBitmap(id, name);
    const bool imgResourceFound = bitmap != nullptr;
    CC_ASSERT(imgResourceFound);
    cache.Add(id, bitmap);
  }
  bool known = false;
  for (const LoadedBitmap& loaded : mLoaded) known = known || loaded.mBitmap == bitmap;
  if (!known) mLoaded.push_back({bitmap, id, name ? name : ""});
  return IBitmap(bitmap, bitmap->Width(), bitmap->Height(), nFrames);
}

IBitmap IGraphicsRaster::ScaleBitmap(const IBitmap* bitmap, int width, int height) {
  RasterBitmap* src = bitmap->mData;
  if (!src || !src->Bits() || width <= 0 || height <= 0) return IBitmap();
  auto scaled = std::make_unique<MemoryBitmap>(width, height, kRowAlignment);
  if (!scaled->Bits()) return IBitmap();
  // Bilinear: each target pixel samples the source at its centre, channel by channel.
  const double fx = double(src->Width()) / width, fy = double(src->Height()) / height;
  for (int y = 0; y < height; ++y) {
    const double sy = std::max(0.0, (y + 0.5) * fy - 0.5);
    const int y0 = std::min(static_cast<int>(sy), src->Height() - 1), y1 = std::min(y0 + 1, src->Height() - 1);
    const double wy = sy - y0;
    Pixel* out = RowAddress(*scaled, y);
    const Pixel* row0 = RowAddress(*src, y0);
    const Pixel* row1 = RowAddress(*src, y1);
    for (int x = 0; x < width; ++x) {
      const double sx = std::max(0.0, (x + 0.5) * fx - 0.5);
      const int x0 = std::min(static_cast<int>(sx), src->Width() - 1), x1 = std::min(x0 + 1, src->Width() - 1);
      const double wx = sx - x0;
      Pixel p = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        const double top = ((row0[x0] >> shift) & 0xFF) * (1 - wx) + ((row0[x1] >> shift) & 0xFF) * wx;
        const double bottom = ((row1[x0] >> shift) & 0xFF) * (1 - wx) + ((row1[x1] >> shift) & 0xFF) * wx;
        p |= Pixel(static_cast<int>(top * (1 - wy) + bottom * wy + 0.5)) << shift;
      }
      out[x] = p;
    }
  }
  IBitmap result(scaled.release(), width, height, bitmap->N);
  RetainBitmap(&result);
  return result;
}

IBitmap IGraphicsRaster::CropBitmap(const IBitmap* bitmap, const IRect* rect) {
  if (!bitmap->mData || rect->W() <= 0 || rect->H() <= 0) return IBitmap();
  auto cropped = std::make_unique<MemoryBitmap>(rect->W(), rect->H(), kRowAlignment);
  if (!cropped->Bits()) return IBitmap();
  Blit(cropped.get(), bitmap->mData, 0, 0, rect->L, rect->T, rect->W(), rect->H(), 1.0f, kBlitCopy);
  IBitmap result(cropped.release(), rect->W(), rect->H(), bitmap->N);
  RetainBitmap(&result);
  return result;
}

void IGraphicsRaster::RetainBitmap(const IBitmap* bitmap) {
  if (bitmap->mData) BitmapCache::Instance().Add(BitmapCache::kNoId, bitmap->mData);
}

void IGraphicsRaster::ReleaseBitmap(const IBitmap* bitmap) {
  if (bitmap->mData) BitmapCache::Instance().Remove(bitmap->mData);
}
