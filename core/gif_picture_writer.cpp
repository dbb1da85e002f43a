#include "core/gif_picture_writer.h"

#include "core/save_picture.h"

namespace plovex {

void GifPictureWriter::Save(const Surface& picture, const std::vector<std::string>& names) {
  SavePicture(picture, names);
}

}  // namespace plovex
