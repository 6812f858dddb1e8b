#include "picture_source.h"

#include <sys/stat.h>

namespace folvek {

PictureSource PictureSource::of(const std::string& name) {
    PictureSource s;
    s.name = name;
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) return s;
    s.found = true;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.modifiedNs = std::int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    s.changedNs = std::int64_t{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec;
    return s;
}

}  // namespace folvek
