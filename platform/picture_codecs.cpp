#include "platform/picture_codecs.h"

#include <string>

#include "platform/errors.h"

namespace quillet {
namespace {

const PictureCodecs* installed = nullptr;

}  // namespace

const PictureCodecs& InstalledPictureCodecs(const char* format) {
  if (!installed)
    throw StreamReadError(std::string(format) +
                          " pictures cannot be read here: the picture codecs are not installed");
  return *installed;
}

void SetPictureCodecs(const PictureCodecs* codecs) {
  installed = codecs;
}

}  // namespace quillet
