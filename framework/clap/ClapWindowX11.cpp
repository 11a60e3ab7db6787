#include <cstdint>

#include "ClapWindow.h"

const char kClapWindowApi[] = "x11";

void* ClapParentWindow(const clap_window_t* window) {
  return reinterpret_cast<void*>(static_cast<uintptr_t>(window->x11));
}
