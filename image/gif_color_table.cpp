#include "image/gif_color_table.h"

namespace plovex {

int TGIFColorTable::SizeField() const {
  int field = 0;
  while ((2 << field) < Count()) ++field;
  return field;
}

}  // namespace plovex
