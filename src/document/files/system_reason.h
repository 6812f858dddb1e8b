// The reason a system call failed, as the user reads it: the common ones in Russian, the rest
// as the C library words them.
#pragma once

#include <string>

namespace folvek {

// "Нет такого файла или каталога" for ENOENT and so on; strerror for anything uncommon.
std::string systemReason(int error);

}  // namespace folvek
