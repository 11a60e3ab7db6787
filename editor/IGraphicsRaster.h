// The graphics host's drawing on raster bitmaps: a window-sized draw bitmap, blits and the shared bitmap cache.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "IGraphics.h"

class MemoryBitmap;
class RasterBitmap;

class IGraphicsRaster : public IGraphics {
 public:
  IGraphicsRaster(IPluginBase* plug, int width, int height, int frameRate = 0);
  ~IGraphicsRaster() override;

  void PrepareDrawing() override;
  bool DrawBitmap(const IBitmap* bitmap, const IRect* dest, int srcX, int srcY, const IBlend* blend) override;
  // Rotated drawing needs rotated blits, which the raster library does not offer: these draw nothing.
  bool DrawRotatedBitmap(const IBitmap* bitmap, int destCentreX, int destCentreY, double angle, int yOffsetZeroDeg,
                         const IBlend* blend) override;
  bool DrawRotatedMask(const IBitmap* base, const IBitmap* mask, const IBitmap* top, int x, int y, double angle,
                       const IBlend* blend) override;
  bool DrawPoint(const IColor* color, float x, float y, const IBlend* blend, bool antialias) override;
  bool SetPixel(const IColor* color, int x, int y) override;
  // Lines, arcs and circles are drawn without antialiasing whatever the flag says.
  bool DrawLine(const IColor* color, float x1, float y1, float x2, float y2, const IBlend* blend,
                bool antialias) override;
  // Angles in degrees, clockwise from the top.
  bool DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle, const IBlend* blend,
               bool antialias) override;
  bool DrawCircle(const IColor* color, float cx, float cy, float r, const IBlend* blend, bool antialias) override;
  bool FillRect(const IColor* color, const IRect* rect, const IBlend* blend) override;
  IColor GetPixel(int x, int y) override;
  void* GetDrawBits() override;
  void Resize(int width, int height) override;
  // Decodes on the first request for an id in this process; later requests share the cached bitmap.
  IBitmap LoadBitmap(int id, const char* name, int nFrames = 1) override;
  IBitmap ScaleBitmap(const IBitmap* bitmap, int width, int height) override;
  IBitmap CropBitmap(const IBitmap* bitmap, const IRect* rect) override;
  bool DrawVerticalLine(const IColor* color, int x, int yLow, int yHigh) override;
  bool DrawHorizontalLine(const IColor* color, int y, int xLow, int xHigh) override;
  void RetainBitmap(const IBitmap* bitmap) override;
  void ReleaseBitmap(const IBitmap* bitmap) override;

  // The platform's decoder for a resource; null when the resource is missing or not an image.
  virtual RasterBitmap* LoadPlatformBitmap(int id, const char* name) = 0;

  // The surface everything is drawn into; null before PrepareDrawing.
  RasterBitmap* GetDrawBitmap() const { return mDrawBitmap.get(); }

  // The picture a bitmap shows at the current scale: the bitmap itself at 100 %, its 2x twin (the resource id
  // plus kDoubleSizePngOffset) at 200 %, and at other scales one resampled from the twin, or from the bitmap
  // when it has none, made once per scale, frame by frame. Null when it cannot be made.
  RasterBitmap* ArtAtScale(const IBitmap* bitmap, int* frameHeight);
  // Pixels held by the art resampled for the current scale (not counting the shared 1x and 2x images).
  long ScaledArtPixels() const;

  // The raster blit mode and weight for a blend; null means source alpha at full weight.
  static int BlitMode(const IBlend* blend);
  static float BlitWeight(const IBlend* blend);

 protected:
  std::unique_ptr<RasterBitmap> mDrawBitmap;
  std::unique_ptr<MemoryBitmap> mScratch;

  void OnScaleChanged() override;

 private:
  // Combines one colour into one pixel of the draw bitmap through the raster blit.
  void PutPixel(const IColor* color, int x, int y, float weight, int mode);

  std::unique_ptr<MemoryBitmap> mColorBitmap;  // the 1 x 1 or rectangle-sized source of PutPixel and FillRect

  // The cached image of a resource id, decoding it on a miss; null, with no assertion, when there is none.
  RasterBitmap* FindOrLoad(int id, const char* name);

  struct LoadedBitmap {
    RasterBitmap* mBitmap;
    int mId;
    std::string mName;  // its extension picks the decoder
  };
  std::vector<LoadedBitmap> mLoaded;  // what LoadBitmap handed out, to find each bitmap's twin
  struct ScaledArt {
    RasterBitmap* mSource;  // the 1x bitmap the controls hold
    RasterBitmap* mArt;     // what is drawn at the current scale
    std::unique_ptr<MemoryBitmap> mOwned;
    int mFrameHeight;
  };
  std::vector<ScaledArt> mScaledArt;  // for the current scale only
};
