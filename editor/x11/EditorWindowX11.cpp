// The X11 editor window: opening inside the host's window, the window thread with its tick and event routing.
#include "EditorWindowX11.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FreeTypeFont.h"
#include "IControl.h"
#include "IGraphicsLinux.h"
#include "IPluginBase.h"
#include "TextEntryX11.h"
#include "X11ImageTransfer.h"

namespace {

using Clock = std::chrono::steady_clock;

// Core protocol values of focus and crossing events.
constexpr std::uint8_t kNotifyInferior = 2;

bool StoresPixelsAsWeDo(const xcb_visualtype_t* v) {
  return v->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v->red_mask == 0xFF0000u && v->green_mask == 0xFF00u &&
         v->blue_mask == 0xFFu;
}

bool ThirtyTwoBitsPerPixel(const xcb_setup_t* setup, std::uint8_t depth) {
  for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it))
    if (it.data->depth == depth) return it.data->bits_per_pixel == 32;
  return false;
}

xcb_screen_t* ScreenOf(const xcb_setup_t* setup, xcb_window_t root) {
  for (auto it = xcb_setup_roots_iterator(setup); it.rem; xcb_screen_next(&it))
    if (it.data->root == root) return it.data;
  return nullptr;
}

// The parent's own visual when our pixels fit it, else any 24-bit true-colour one of the screen.
bool ChooseVisual(const xcb_setup_t* setup, const xcb_screen_t* screen, xcb_visualid_t parentVisual,
                  xcb_visualid_t* visual, std::uint8_t* depth) {
  const xcb_visualtype_t* fallback = nullptr;
  std::uint8_t fallbackDepth = 0;
  for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d)) {
    const std::uint8_t dd = d.data->depth;
    if ((dd != 24 && dd != 32) || !ThirtyTwoBitsPerPixel(setup, dd)) continue;
    for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
      if (!StoresPixelsAsWeDo(v.data)) continue;
      if (v.data->visual_id == parentVisual) {
        *visual = parentVisual;
        *depth = dd;
        return true;
      }
      if (dd == 24 && !fallback) {
        fallback = v.data;
        fallbackDepth = dd;
      }
    }
  }
  if (!fallback) return false;
  *visual = fallback->visual_id;
  *depth = fallbackDepth;
  return true;
}

// An X server that has just seen a client go sometimes hangs up on the next one (Xvfb 21 does, about one time in
// ten when a host closes and reopens an editor at once); a second try a moment later gets through.
xcb_connection_t* ConnectToServer() {
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (!xcb_connection_has_error(connection)) return connection;
    xcb_disconnect(connection);
  }
  return nullptr;
}

// The window that an event of a kind the entry box selects was reported to; 0 for other kinds.
xcb_window_t EventWindow(const xcb_generic_event_t* event) {
  switch (event->response_type & 0x7F) {
    case XCB_EXPOSE:
      return reinterpret_cast<const xcb_expose_event_t*>(event)->window;
    case XCB_FOCUS_IN:
    case XCB_FOCUS_OUT:
      return reinterpret_cast<const xcb_focus_in_event_t*>(event)->event;
    case XCB_BUTTON_PRESS:
    case XCB_KEY_PRESS:
      return reinterpret_cast<const xcb_button_press_event_t*>(event)->event;
    default:
      return 0;
  }
}

void SetText(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, const char* text, std::uint32_t length) {
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, XCB_ATOM_STRING, 8, length, text);
}

}  // namespace

// ---- Opening and closing ----

std::unique_ptr<EditorWindow> EditorWindowX11::Create(IGraphicsLinux* graphics, void* parent) {
  const auto parentId = static_cast<xcb_window_t>(reinterpret_cast<std::uintptr_t>(parent));
  if (!graphics || parentId == 0) return nullptr;
  // Our own connection, whatever the host passed: Xlib and XCB connections are not to be shared across threads.
  xcb_connection_t* connection = ConnectToServer();
  if (!connection) return nullptr;
  std::unique_ptr<EditorWindowX11> window(new EditorWindowX11(graphics, connection));
  if (!window->Open(parentId)) return nullptr;
  return window;
}

EditorWindowX11::EditorWindowX11(IGraphicsLinux* graphics, xcb_connection_t* connection)
    : mGraphics(graphics),
      mConnection(connection),
      mWidth(graphics->WindowWidth()),
      mHeight(graphics->WindowHeight()),
      mWantedWidth(mWidth),
      mWantedHeight(mHeight) {}

bool EditorWindowX11::Open(xcb_window_t parent) {
  xcb_connection_t* c = mConnection;
  const xcb_setup_t* setup = xcb_get_setup(c);
  xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, parent), nullptr);
  xcb_get_window_attributes_reply_t* attributes =
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, parent), nullptr);
  // No reply: the host's window does not exist (any more).
  const xcb_screen_t* screen = geometry ? ScreenOf(setup, geometry->root) : nullptr;
  const bool chosen = screen && attributes && ChooseVisual(setup, screen, attributes->visual, &mVisual, &mDepth);
  const bool parentVisual = chosen && mVisual == attributes->visual;
  std::free(geometry);
  std::free(attributes);
  if (!chosen) return false;
  mSwapBytes = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;

  if (!parentVisual) {
    mColormap = xcb_generate_id(c);
    xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, mColormap, screen->root, mVisual);
  }
  mWindow = xcb_generate_id(c);
  // No background: the server leaves exposed areas alone until we paint them, so nothing flashes.
  const std::uint32_t eventMask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                  XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
                                  XCB_EVENT_MASK_LEAVE_WINDOW | XCB_EVENT_MASK_KEY_PRESS |
                                  XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  const std::uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 0, eventMask,
                                  parentVisual ? std::uint32_t(XCB_COPY_FROM_PARENT) : mColormap};
  xcb_generic_error_t* error =
      xcb_request_check(c, xcb_create_window_checked(
                               c, mDepth, mWindow, parent, 0, 0, static_cast<std::uint16_t>(mWidth),
                               static_cast<std::uint16_t>(mHeight), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, mVisual,
                               XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP, values));
  if (error) {
    std::free(error);
    mWindow = 0;
    return false;
  }
  // WM_CLASS holds the instance name (the title in lower case) and the class name, each NUL-terminated.
  const std::string title = mGraphics->WindowTitle();
  std::string wmClass;
  for (char ch : title) wmClass += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  wmClass += '\0';
  wmClass += mGraphics->WindowClassName();
  wmClass += '\0';
  SetText(c, mWindow, XCB_ATOM_WM_CLASS, wmClass.data(), static_cast<std::uint32_t>(wmClass.size()));
  SetText(c, mWindow, XCB_ATOM_WM_NAME, title.data(), static_cast<std::uint32_t>(title.size()));
  xcb_map_window(c, mWindow);
  mKeyboard.Load(c);
  mTransfer = std::make_unique<X11ImageTransfer>(c, mWindow, mWidth, mHeight, mDepth, mSwapBytes, true);
  TakeFocus(XCB_CURRENT_TIME);
  xcb_flush(c);

  // On the host's loop where it has one; a loop that will not take us leaves it to our own thread.
  if (IEditorHostLoop* loop = mGraphics->HostLoop()) {
    if (loop->WatchFd(xcb_get_file_descriptor(c)) && loop->StartTimer(1000 / mGraphics->FPS())) {
      mHostLoop = loop;
      MakeFontAhead();
      return true;
    }
    loop->Stop();
  }
  mWakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (mWakeFd < 0) return false;
  mThread = std::thread(&EditorWindowX11::Run, this);
  return true;
}

EditorWindowX11::~EditorWindowX11() {
  mStop = true;
  if (mHostLoop) mHostLoop->Stop();
  if (mThread.joinable()) {
    const std::uint64_t one = 1;
    if (write(mWakeFd, &one, sizeof(one)) < 0) {
      // The thread looks at the flag at least once a tick anyway.
    }
    mThread.join();
  }
  mEntry.reset();
  mTransfer.reset();
  // Requests for a window that went with its parent only earn error events, which nobody reads any more.
  if (mWindow) xcb_destroy_window(mConnection, mWindow);
  if (mColormap) xcb_free_colormap(mConnection, mColormap);
  xcb_flush(mConnection);
  xcb_disconnect(mConnection);
  if (mWakeFd >= 0) close(mWakeFd);
}

void* EditorWindowX11::Handle() const { return reinterpret_cast<void*>(std::uintptr_t(mWindow)); }

void EditorWindowX11::TakeFocus(xcb_timestamp_t time) {
  // Fails quietly (an error event) while the host has not put its window on screen yet.
  xcb_set_input_focus(mConnection, XCB_INPUT_FOCUS_PARENT, mWindow, time);
}

// ---- The lock ----

EditorWindowX11::ControlsLock::ControlsLock(EditorWindowX11* window) : mLock(&window->mGraphics->ControlsLock()) {
  // Trying instead of waiting: a host thread that closes the editor holds this lock while it waits for us.
  while (!mLock->TryEnter()) {
    if (window->mStop) return;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  mHeld = true;
}

EditorWindowX11::ControlsLock::~ControlsLock() {
  if (mHeld) mLock->Leave();
}

// ---- The thread ----

void EditorWindowX11::Run() {
  // Named after the plug-in's window, so that debuggers and top show whose editor this is (15 characters at most).
  std::string name;
  for (const char* t = mGraphics->WindowTitle(); *t && name.size() < 12; ++t)
    name += static_cast<char>(std::tolower(static_cast<unsigned char>(*t)));
  name += "-ui";
  pthread_setname_np(pthread_self(), name.c_str());
  const auto period = std::chrono::milliseconds(1000 / mGraphics->FPS());
  auto next = Clock::now() + period;
  pollfd fds[2] = {{xcb_get_file_descriptor(mConnection), POLLIN, 0}, {mWakeFd, POLLIN, 0}};
  MakeFontAhead();
  while (!mStop) {
    if (!Pump()) return;
    const auto now = Clock::now();
    if (now >= next) {
      Tick();
      next += period;
      if (next <= now) next = now + period;
      // The tick's round trips may have queued events: read them before sleeping.
      continue;
    }
    xcb_flush(mConnection);
    const bool connected = !xcb_connection_has_error(mConnection);
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count() + 1;
    // Without a server there is nothing to do but wait to be closed.
    poll(connected ? fds : fds + 1, connected ? 2 : 1, connected ? int(wait) : -1);
    std::uint64_t count;
    while (read(mWakeFd, &count, sizeof(count)) > 0) {
    }
  }
}

bool EditorWindowX11::Pump() {
  while (xcb_generic_event_t* event = xcb_poll_for_event(mConnection)) {
    Handle(event);
    std::free(event);
    if (mStop) return false;
  }
  ShowPendingEntry(XCB_CURRENT_TIME);
  return true;
}

void EditorWindowX11::OnHostLoopFd() {
  if (Pump()) xcb_flush(mConnection);
}

void EditorWindowX11::OnHostLoopTimer() {
  Tick();
  // The tick's round trips may have queued events, which the descriptor no longer shows.
  if (Pump()) xcb_flush(mConnection);
}

void EditorWindowX11::MakeFontAhead() {
  ITextStyle style;
  {
    ControlsLock lock(this);
    if (!lock || !mGraphics->NeedsFont(&style)) return;
  }
  std::unique_ptr<FreeTypeFont> font = FreeTypeFont::Create(&style);
  ControlsLock lock(this);
  if (lock) mGraphics->AdoptFont(std::move(font), style);
}

bool EditorWindowX11::Editing() const { return mEntry && mEntryState == EntryEditing; }

void EditorWindowX11::Tick() {
  if (mEntry) {
    // While the box has the keyboard the tick rests; changes made meanwhile are drawn once the box lets go.
    if (mEntryState == EntryEditing) return;
    if (mEntryState != EntryNone) {
      ServeEntryState();
      return;
    }
  }
  bool dirty = false;
  {
    ControlsLock lock(this);
    if (!lock) return;
    IRect r;
    dirty = mGraphics->IsDirty(&r);
    if (dirty) mGraphics->Draw(&r);
  }
  FlushPaint();
  if (dirty && mEntry) mEntryState = EntryUpdate;
}

bool EditorWindowX11::Paint(const IRect* r) {
  mPendingPaint = mPendingPaint.Union(r);
  return true;
}

void EditorWindowX11::SetSize(int width, int height) {
  mWantedWidth = width;
  mWantedHeight = height;
}

void EditorWindowX11::FlushPaint() {
  IRect r = mPendingPaint;
  mPendingPaint = IRect();
  if (mDestroyed) return;
  // A change of scale resizes the bitmap from another thread, so the copy holds the lock, and the window
  // follows the bitmap's size here, on the thread that owns the transfer.
  ControlsLock lock(this);
  if (!lock) return;
  if (mWantedWidth != mWidth || mWantedHeight != mHeight) {
    mWidth = mWantedWidth;
    mHeight = mWantedHeight;
    const std::uint32_t size[] = {static_cast<std::uint32_t>(mWidth), static_cast<std::uint32_t>(mHeight)};
    xcb_configure_window(mConnection, mWindow, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    mTransfer = std::make_unique<X11ImageTransfer>(mConnection, mWindow, mWidth, mHeight, mDepth, mSwapBytes, true);
    r = IRect(0, 0, mWidth, mHeight);
  }
  RasterBitmap* bitmap = mGraphics->GetDrawBitmap();
  if (r.Empty() || !bitmap || !bitmap->Bits()) return;
  // Never past the bitmap: a scale change may have shrunk it since r was noted.
  const IRect surface(0, 0, bitmap->Width(), bitmap->Height());
  r = r.Intersect(&surface);
  if (r.Empty() || r.W() <= 0 || r.H() <= 0) return;
  mTransfer->Put(RowAddress(*bitmap, 0), bitmap->RowSpan(), r);
}

// ---- Events ----

void EditorWindowX11::Handle(const xcb_generic_event_t* event) {
  const std::uint8_t type = event->response_type & 0x7F;
  // Errors (type 0) are answers to requests made in vain, such as painting after the parent went: nothing to do.
  if (type == 0) return;
  if (mEntry && EventWindow(event) == mEntry->Window()) {
    OnEntryEvent(event);
    return;
  }
  switch (type) {
    case XCB_EXPOSE: {
      const auto* e = reinterpret_cast<const xcb_expose_event_t*>(event);
      if (e->window != mWindow) return;
      const IRect r(e->x, e->y, e->x + e->width, e->y + e->height);
      mExposed = mExposed.Union(&r);
      // The last of a series: one repaint for all of it.
      if (e->count == 0) {
        const IRect all = mExposed;
        mExposed = IRect();
        OnExpose(all);
      }
      return;
    }
    case XCB_BUTTON_PRESS:
      OnButtonPress(reinterpret_cast<const xcb_button_press_event_t*>(event));
      return;
    case XCB_BUTTON_RELEASE:
      OnButtonRelease(reinterpret_cast<const xcb_button_release_event_t*>(event));
      return;
    case XCB_MOTION_NOTIFY:
      OnMotion(reinterpret_cast<const xcb_motion_notify_event_t*>(event));
      return;
    case XCB_KEY_PRESS:
      OnKeyPress(reinterpret_cast<const xcb_key_press_event_t*>(event));
      return;
    case XCB_LEAVE_NOTIFY: {
      const auto* e = reinterpret_cast<const xcb_leave_notify_event_t*>(event);
      if (e->event != mWindow || !mTrackLeave || Editing()) return;
      if (e->mode != XCB_NOTIFY_MODE_NORMAL || e->detail == kNotifyInferior) return;
      mTrackLeave = false;
      ControlsLock lock(this);
      if (lock) mGraphics->OnMouseOut();
      return;
    }
    case XCB_DESTROY_NOTIFY:
      if (reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == mWindow) mDestroyed = true;
      return;
    case XCB_MAPPING_NOTIFY:
      if (reinterpret_cast<const xcb_mapping_notify_event_t*>(event)->request == XCB_MAPPING_KEYBOARD)
        mKeyboard.Load(mConnection);
      return;
    default:
      return;
  }
}

void EditorWindowX11::OnExpose(const IRect& r) {
  if (Editing()) {
    // The box holds the keyboard and the controls rest; what the bitmap shows is still right.
    mPendingPaint = mPendingPaint.Union(&r);
    FlushPaint();
    return;
  }
  bool dirty = false;
  {
    ControlsLock lock(this);
    if (!lock) return;
    // Drawing cleans every control, so controls that are dirty elsewhere are drawn now too, or their change
    // would never reach the screen.
    IRect all = mGraphics->ToLogicalCover(r);
    dirty = mGraphics->IsDirty(&all);
    mGraphics->Draw(&all);
  }
  FlushPaint();
  if (dirty && mEntry) mEntryState = EntryUpdate;
}

void EditorWindowX11::OnButtonPress(const xcb_button_press_event_t* e) {
  const int button = e->detail;
  // Screen pixels until the lock is held: the scale may change under it.
  const int px = e->event_x, py = e->event_y;
  if (x11input::IsWheelButton(button)) {
    const int steps = x11input::WheelSteps(button);
    if (steps == 0 || Editing()) return;
    const IMouseMods mods = x11input::ModsFor(e->state, 0, true);
    ControlsLock lock(this);
    if (!lock) return;
    const int x = mGraphics->ToLogical(px), y = mGraphics->ToLogical(py);
    // A turn of the wheel is an edit of its own, which hosts that record touches want begun and ended; during a
    // drag the drag's gesture covers it.
    const IControl* control = mGraphics->CaptureIndex() < 0 ? mGraphics->GetControl(mGraphics->HitTest(x, y)) : nullptr;
    const int paramIdx = control ? control->ParamIdx() : -1;
    IPluginBase* plug = mGraphics->GetPlug();
    if (plug && paramIdx >= 0) plug->BeginHostEdit(paramIdx);
    mGraphics->OnMouseWheel(x, y, &mods, steps);
    if (plug && paramIdx >= 0) plug->EndHostEdit(paramIdx);
    return;
  }
  if (button != x11input::kLeftButton && button != x11input::kRightButton) return;
  const bool doubleClick = mClicks.IsDoubleClick(button, e->time, px, py);
  if (button == x11input::kRightButton && mEntry) {
    mEntryState = EntryCancel;
    return;
  }
  if (Editing()) return;
  TakeFocus(e->time);
  const IMouseMods mods = x11input::ModsFor(e->state, button, true);
  {
    ControlsLock lock(this);
    if (!lock) return;
    const int x = mGraphics->ToLogical(px), y = mGraphics->ToLogical(py);
    if (button == x11input::kLeftButton && doubleClick) {
      mCaptured = mGraphics->OnMouseDblClick(x, y, &mods);
    } else if (button == x11input::kRightButton && doubleClick) {
      // The second press of a right double-click is not a press of its own.
      return;
    } else {
      if (mEntry) mEntryState = EntryCommit;
      // The press's own grab is the capture: the server ends it with the last release, so an unseen release
      // can never leave the pointer held.
      mCaptured = true;
      mGraphics->OnMouseDown(x, y, &mods);
    }
  }
  ShowPendingEntry(e->time);
  FlushPaint();
}

void EditorWindowX11::OnButtonRelease(const xcb_button_release_event_t* e) {
  const int button = e->detail;
  if (button != x11input::kLeftButton && button != x11input::kRightButton) return;
  // A press that opened the box still ends here, so its gesture is closed.
  if (Editing() && !mCaptured) return;
  mCaptured = false;
  const IMouseMods mods = x11input::ModsFor(e->state, button, false);
  ControlsLock lock(this);
  if (lock) mGraphics->OnMouseUp(mGraphics->ToLogical(e->event_x), mGraphics->ToLogical(e->event_y), &mods);
}

void EditorWindowX11::OnMotion(const xcb_motion_notify_event_t* e) {
  if (Editing()) return;
  const IMouseMods mods = x11input::ModsFor(e->state, 0, false);
  if (e->state & (x11input::kButton1Mask | x11input::kButton3Mask)) {
    if (!mCaptured) return;
    ControlsLock lock(this);
    if (lock) mGraphics->OnMouseDrag(mGraphics->ToLogical(e->event_x), mGraphics->ToLogical(e->event_y), &mods);
    return;
  }
  ControlsLock lock(this);
  if (lock && mGraphics->OnMouseOver(mGraphics->ToLogical(e->event_x), mGraphics->ToLogical(e->event_y), &mods))
    mTrackLeave = true;
}

void EditorWindowX11::OnKeyPress(const xcb_key_press_event_t* e) {
  if (Editing()) return;
  const int key = x11input::KeyCodeFor(mKeyboard.KeysymFor(e->detail, e->state));
  if (key < 0) return;
  ControlsLock lock(this);
  if (lock) mGraphics->OnKeyDown(mGraphics->ToLogical(e->event_x), mGraphics->ToLogical(e->event_y), key);
}
