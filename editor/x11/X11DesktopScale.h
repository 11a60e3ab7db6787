// The scale the desktop asks programs to draw at, for an editor whose host gives none.
#pragma once

#include <string>

// GDK_SCALE when set to a whole number, else the X resources' Xft.dpi over 96; 0 when neither says anything.
// Rounded to quarters and held to 1..3.
double X11DesktopScale();

// The parts, for tests: a GDK_SCALE value, and the Xft.dpi line of an X resource string; 0 where none applies.
double ScaleFromGdkScale(const char* value);
double ScaleFromXResources(const std::string& resources);
