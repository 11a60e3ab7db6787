// Image transfer to an X11 window with MIT-SHM or plain PutImage requests.
#include "X11ImageTransfer.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>

#include <algorithm>
#include <cstdlib>

namespace {

void Sync(xcb_connection_t* c) { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }

Pixel Swap(Pixel p) { return (p >> 24) | ((p >> 8) & 0xFF00u) | ((p << 8) & 0xFF0000u) | (p << 24); }

}  // namespace

X11ImageTransfer::X11ImageTransfer(xcb_connection_t* connection, xcb_window_t window, int width, int height,
                                   std::uint8_t depth, bool swapBytes, bool allowSharedMemory)
    : mConnection(connection),
      mWindow(window),
      mGc(xcb_generate_id(connection)),
      mWidth(width),
      mHeight(height),
      mDepth(depth),
      mSwapBytes(swapBytes) {
  const std::uint32_t noExposures = 0;
  xcb_create_gc(mConnection, mGc, mWindow, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  if (allowSharedMemory) AttachSharedMemory();
}

X11ImageTransfer::~X11ImageTransfer() {
  if (mShmAddress) {
    xcb_shm_detach(mConnection, mShmSeg);
    // The server must have let go before the pages are unmapped here.
    Sync(mConnection);
    shmdt(mShmAddress);
  }
  xcb_free_gc(mConnection, mGc);
}

bool X11ImageTransfer::AttachSharedMemory() {
  xcb_shm_query_version_reply_t* version =
      xcb_shm_query_version_reply(mConnection, xcb_shm_query_version(mConnection), nullptr);
  if (!version) return false;
  std::free(version);
  const size_t bytes = size_t(mWidth) * size_t(mHeight) * sizeof(Pixel);
  if (bytes == 0) return false;
  const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (id < 0) return false;
  void* address = shmat(id, nullptr, 0);
  if (address == reinterpret_cast<void*>(-1)) {
    shmctl(id, IPC_RMID, nullptr);
    return false;
  }
  mShmSeg = xcb_generate_id(mConnection);
  // A server on another machine cannot reach the segment and says so here.
  xcb_generic_error_t* error =
      xcb_request_check(mConnection, xcb_shm_attach_checked(mConnection, mShmSeg, static_cast<std::uint32_t>(id), 1));
  // Once both sides are attached the segment can be marked for removal: it then goes with the last detach,
  // also when this process dies.
  shmctl(id, IPC_RMID, nullptr);
  if (error) {
    std::free(error);
    shmdt(address);
    return false;
  }
  mShmAddress = address;
  return true;
}

void X11ImageTransfer::CopyRows(const Pixel* pixels, int rowSpan, const IRect& r, Pixel* dest, int destSpan) const {
  for (int y = 0; y < r.H(); ++y) {
    const Pixel* from = pixels + std::ptrdiff_t(r.T + y) * rowSpan + r.L;
    Pixel* to = dest + std::ptrdiff_t(y) * destSpan;
    // Depth-32 windows take the top byte as alpha: the editor is opaque.
    if (mSwapBytes) {
      for (int x = 0; x < r.W(); ++x) to[x] = Swap(from[x] | 0xFF000000u);
    } else {
      for (int x = 0; x < r.W(); ++x) to[x] = from[x] | 0xFF000000u;
    }
  }
}

void X11ImageTransfer::Put(const Pixel* pixels, int rowSpan, const IRect& area) {
  IRect r(std::max(area.L, 0), std::max(area.T, 0), std::min(area.R, mWidth), std::min(area.B, mHeight));
  if (!pixels || r.W() <= 0 || r.H() <= 0) return;
  if (mShmAddress) {
    Pixel* shared = static_cast<Pixel*>(mShmAddress);
    CopyRows(pixels, rowSpan, r, shared + std::ptrdiff_t(r.T) * mWidth + r.L, mWidth);
    xcb_shm_put_image(mConnection, mWindow, mGc, static_cast<std::uint16_t>(mWidth),
                      static_cast<std::uint16_t>(mHeight), static_cast<std::uint16_t>(r.L),
                      static_cast<std::uint16_t>(r.T), static_cast<std::uint16_t>(r.W()),
                      static_cast<std::uint16_t>(r.H()), static_cast<std::int16_t>(r.L), static_cast<std::int16_t>(r.T),
                      mDepth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, mShmSeg, 0);
    // The segment is written again by the next paint; the server must have read this one first.
    Sync(mConnection);
    return;
  }
  // Plain requests carry at most the server's request length; big rectangles go in bands of rows.
  const size_t maxBytes = size_t(xcb_get_maximum_request_length(mConnection)) * 4;
  const size_t rowBytes = size_t(r.W()) * sizeof(Pixel);
  const int bandRows = static_cast<int>(std::max<size_t>(1, (maxBytes - 64) / rowBytes));
  for (int top = r.T; top < r.B; top += bandRows) {
    const IRect band(r.L, top, r.R, std::min(r.B, top + bandRows));
    mStaging.resize(size_t(band.W()) * size_t(band.H()));
    CopyRows(pixels, rowSpan, band, mStaging.data(), band.W());
    xcb_put_image(mConnection, XCB_IMAGE_FORMAT_Z_PIXMAP, mWindow, mGc, static_cast<std::uint16_t>(band.W()),
                  static_cast<std::uint16_t>(band.H()), static_cast<std::int16_t>(band.L),
                  static_cast<std::int16_t>(band.T), 0, mDepth,
                  static_cast<std::uint32_t>(mStaging.size() * sizeof(Pixel)),
                  reinterpret_cast<const std::uint8_t*>(mStaging.data()));
  }
  xcb_flush(mConnection);
}
