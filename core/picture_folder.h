#pragma once
// The picture folder: where the GIF files go. The "GifFolder" setting names
// it; when that is empty, the program's own default applies: the working
// directory for the headless runner (its service and scripts rely on it), and
// for the desktop window its state folder, because a window started from the
// applications menu has the home folder as its working directory.
#include <string>

#include "base/status.h"

namespace plovex {

// `${XDG_STATE_HOME:-$HOME/.local/state}/plovex`; a relative XDG_STATE_HOME
// is ignored, as the base directory rules say. Empty (the working directory)
// when neither variable gives an absolute path.
std::string DesktopPictureFolder();

// A leading "~" or "~/" of a typed folder stands for $HOME.
std::string ExpandHome(const std::string& folder);

// Creates `folder` and its missing parents, each with mode 0700 (a state
// folder is the user's own). Ok when it already is a directory.
Status CreateFolder(const std::string& folder);

}  // namespace plovex
