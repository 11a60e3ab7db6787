// The window system the editor embeds in: one file per platform gives the API name and the parent's handle.
#pragma once

#include "ClapAbi.h"

extern const char kClapWindowApi[];

// The host's window as the editor's OpenWindow takes it.
void* ClapParentWindow(const clap_window_t* window);
