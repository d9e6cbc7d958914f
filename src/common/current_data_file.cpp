#include "common/current_data_file.h"

namespace tarvik {

std::filesystem::path CurrentDataFile::Path() const {
    return folder / std::filesystem::u8path(name);
}

} // namespace tarvik
