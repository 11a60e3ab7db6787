// Windows lookup of the PNG resources in the module's resource section.
#include "PngResource.h"

#include <windows.h>

ResourceBytes FindPngResource(void* module, int id) {
  const HMODULE instance = static_cast<HMODULE>(module);
  HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), "PNG");
  if (!found) return ResourceBytes{};
  const DWORD size = SizeofResource(instance, found);
  HGLOBAL loaded = LoadResource(instance, found);
  if (!loaded) return ResourceBytes{};
  const void* data = LockResource(loaded);
  if (!data) return ResourceBytes{};
  return ResourceBytes{static_cast<const unsigned char*>(data), size};
}
