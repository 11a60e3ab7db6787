#include "ClapWindow.h"

const char kClapWindowApi[] = "win32";

void* ClapParentWindow(const clap_window_t* window) { return window->win32; }
