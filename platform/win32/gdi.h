#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// GDI objects, each deleted once by its one owner.
namespace velkorn::win32 {

struct BitmapDeleter {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

struct FontDeleter {
  void operator()(HFONT font) const { DeleteObject(font); }
};
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

}  // namespace velkorn::win32
