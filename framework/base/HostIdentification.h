// Maps a host's product text to a small host code.
#pragma once

// -1: not yet identified; 0: no known host.
constexpr int kHostUnknown = -1;

int IdentifyHost(const char* productText);
