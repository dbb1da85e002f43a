#include "core/save_picture.h"

#include "core/plovex_error.h"
#include "image/gif_file_writer.h"
#include "image/gif_writer.h"

namespace plovex {

void SavePicture(const Surface& picture, const std::vector<std::string>& names) {
  const GifBytes bytes = EncodePictureGif(picture);
  if (const Status failure = WriteFilesReplacing(bytes, names); !failure.ok()) {
    throw PlovexError(failure.message());
  }
}

}  // namespace plovex
