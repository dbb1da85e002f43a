#pragma once
// GifPictureWriter: the real PictureWriter. It encodes the picture once per
// Save and writes it, each file replaced atomically, into the picture folder
// as it stands at that moment: the settings' "GifFolder" (a leading "~" is the
// home folder), else the default folder the program gave (empty: the working
// directory). The default folder is created when it is missing; a folder the
// user named is not (a mistyped or unmounted one is reported instead).
//
// "Plovex.gif", written on every tick, is replaced through a spare file kept
// beside it (".Plovex.gif.<process id>.spare"), deleted when the writer goes.
//
// Borrows the settings record, which outlives it.
#include <set>
#include <string>

#include "core/picture_writer.h"
#include "core/plovex_settings.h"

namespace plovex {

class GifPictureWriter : public PictureWriter {
 public:
  GifPictureWriter(const TPlovexSettings& settings, std::string default_folder);
  ~GifPictureWriter() override;
  GifPictureWriter(const GifPictureWriter&) = delete;
  GifPictureWriter& operator=(const GifPictureWriter&) = delete;

  Status Save(const Surface& picture, const std::vector<std::string>& names) override;
  std::string PathOf(const std::string& name) const override;

 private:
  // The folder, "" for the working directory; true when it is the default.
  std::string Folder(bool* is_default = nullptr) const;

  const TPlovexSettings& s_;
  std::string default_folder_;
  std::set<std::string> spares_;  // every spare made, in any folder it has had
};

}  // namespace plovex
