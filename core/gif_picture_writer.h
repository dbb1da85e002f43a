#pragma once
// GifPictureWriter: the real PictureWriter, writing GIF files through
// SavePicture into the working directory. Throws what SavePicture throws.
#include "core/picture_writer.h"

namespace plovex {

class GifPictureWriter : public PictureWriter {
 public:
  void Save(const Surface& picture, const std::vector<std::string>& names) override;
};

}  // namespace plovex
