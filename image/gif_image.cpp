#include "image/gif_image.h"

#include <algorithm>

#include "image/gif_color_cube.h"

namespace plovex {

TGIFImage TGIFImage::FromPicture(const Surface& picture) {
  TGIFImage image;
  TGIFFrame& frame = image.AddFrame(static_cast<std::uint16_t>(picture.Width()),
                                    static_cast<std::uint16_t>(picture.Height()));
  ReduceToCube(picture.Pixels(), frame.indices.size(), frame.indices.data());
  frame.local_color_table = CubeColorTable();
  return image;
}

TGIFFrame& TGIFImage::AddFrame(std::uint16_t width, std::uint16_t height) {
  TGIFFrame& frame = frames_.emplace_back();
  frame.width = width;
  frame.height = height;
  frame.indices.resize(std::size_t{width} * height);
  header_.width = std::max<std::uint16_t>(header_.width, frame.left + width);
  header_.height = std::max<std::uint16_t>(header_.height, frame.top + height);
  return frame;
}

}  // namespace plovex
