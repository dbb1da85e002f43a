#pragma once
// Saving the graph picture as GIF files: the picture is encoded once (a
// single-frame GIF87a image in the fixed 216-colour cube) and the same bytes
// are written to each name in the order given, relative to the working
// directory. Each name is replaced atomically, so a reader never sees a
// partial file and a failed write leaves the previous file intact.
//
// A failure throws PlovexError and writes none of the names after the failed
// one: "Cannot create file <name>" (the name as passed) when the file cannot
// be created or put in place, "Stream write error" when its bytes cannot all
// be stored. The caller's tick decides what that failure skips.
#include <string>
#include <vector>

#include "image/surface.h"

namespace plovex {

void SavePicture(const Surface& picture, const std::vector<std::string>& names);

}  // namespace plovex
