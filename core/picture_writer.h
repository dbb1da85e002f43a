#pragma once
// PictureWriter: writes the picture as it stands to one or more files, in the
// given order (the real one, GifPictureWriter, encodes a GIF once and writes
// it to each name). Failure to create or fill a file throws PlovexError
// ("Cannot create file %s", "Stream write error"); files written before the
// failing one stay as they are.
#include <string>
#include <vector>

#include "image/surface.h"

namespace plovex {

class PictureWriter {
 public:
  virtual ~PictureWriter() = default;
  virtual void Save(const Surface& picture, const std::vector<std::string>& names) = 0;
};

}  // namespace plovex
