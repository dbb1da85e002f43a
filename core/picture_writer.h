#pragma once
// PictureWriter: writes the picture as it stands to one or more files, in the
// given order, into the picture folder (the real one, GifPictureWriter,
// encodes a GIF once and writes it to each name). A failure is returned, not
// thrown: the tick goes on without the file. Its message names the file, the
// folder and the reason ("Plovex.gif cannot be written in /srv/x: permission
// denied"); the names after the failed one are not written, the ones before
// it stay written.
#include <string>
#include <vector>

#include "base/status.h"
#include "image/surface.h"

namespace plovex {

class PictureWriter {
 public:
  virtual ~PictureWriter() = default;
  virtual Status Save(const Surface& picture, const std::vector<std::string>& names) = 0;
  // Where `name` goes, as the user would look for it.
  virtual std::string PathOf(const std::string& name) const = 0;
};

}  // namespace plovex
