// Copies rectangles of 32-bit pixels to an X11 window: through a shared-memory segment where the server offers
// one (MIT-SHM), through plain image requests otherwise.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

#include "IRect.h"
#include "RasterBitmap.h"

class X11ImageTransfer {
 public:
  // For a window of width x height whose visual stores pixels as this library does (red 0xFF0000, 32 bits
  // each); swapBytes for a server that wants the most significant byte first. allowSharedMemory false keeps
  // to plain requests.
  X11ImageTransfer(xcb_connection_t* connection, xcb_window_t window, int width, int height, std::uint8_t depth,
                   bool swapBytes, bool allowSharedMemory);
  // Detaches and frees the segment.
  ~X11ImageTransfer();
  X11ImageTransfer(const X11ImageTransfer&) = delete;
  X11ImageTransfer& operator=(const X11ImageTransfer&) = delete;

  // Copies r of the pixels (rows rowSpan apart, top-left at the window's) to the same place in the window,
  // clipped to the window. The pixels may change again as soon as it returns.
  void Put(const Pixel* pixels, int rowSpan, const IRect& r);
  bool UsesSharedMemory() const { return mShmAddress != nullptr; }

 private:
  bool AttachSharedMemory();
  // Copies r of the source into dest (rows destSpan pixels apart), opaque and in the server's byte order.
  void CopyRows(const Pixel* pixels, int rowSpan, const IRect& r, Pixel* dest, int destSpan) const;

  xcb_connection_t* mConnection;
  xcb_window_t mWindow;
  xcb_gcontext_t mGc;
  int mWidth;
  int mHeight;
  std::uint8_t mDepth;
  bool mSwapBytes;
  std::uint32_t mShmSeg = 0;
  void* mShmAddress = nullptr;
  std::vector<Pixel> mStaging;
};
