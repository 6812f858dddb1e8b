// The reason a system call failed, as the user reads it: the common ones in Russian, the rest
// as the C library words them.
#pragma once

#include <string>

namespace folvek {

// "Нет такого файла или каталога" for ENOENT and so on; strerror for anything uncommon. A
// program that speaks English (folvek-print outside a Russian locale) turns the Russian off and
// gets strerror's words throughout.
std::string systemReason(int error);
void setSystemReasonsInRussian(bool russian);
// The Russian words whatever the setting, for a message that is Russian throughout.
std::string russianSystemReason(int error);

}  // namespace folvek
