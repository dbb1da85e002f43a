#pragma once
// TGIFImage: a GIF picture in memory, a logical screen header and its frames,
// ready to be written by EncodeGif (gif_writer.h). It owns all of its data;
// it is built, written and dropped, nothing refers into it afterwards.
#include <vector>

#include "image/gif_frame.h"
#include "image/gif_header.h"
#include "image/surface.h"

namespace plovex {

class TGIFImage {
 public:
  // An empty image: logical screen 0 x 0, no global table, no frames.
  TGIFImage() = default;

  // The program's picture as a GIF: one frame at (0, 0) of the surface's
  // size, each pixel reduced to the 216-colour cube, with the cube as its
  // local 256-entry colour table.
  static TGIFImage FromPicture(const Surface& picture);

  // Appends a frame at (0, 0) of the given size with room for its indices;
  // the logical screen grows to cover the frame's right and bottom edges.
  TGIFFrame& AddFrame(std::uint16_t width, std::uint16_t height);

  TGIFHeader& Header() { return header_; }
  const TGIFHeader& Header() const { return header_; }
  std::vector<TGIFFrame>& Frames() { return frames_; }
  const std::vector<TGIFFrame>& Frames() const { return frames_; }

 private:
  TGIFHeader header_;
  std::vector<TGIFFrame> frames_;
};

}  // namespace plovex
