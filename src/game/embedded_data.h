// The copies of the reference data files compiled into the executable; the
// game uses one when its file is absent from the game folder.
#pragma once

#include <string_view>
#include <vector>

namespace plotwright {

struct EmbeddedFile {
  std::string_view Name;
  std::string_view Content;
};

const std::vector<EmbeddedFile>& EmbeddedReferenceFiles();

}  // namespace plotwright
