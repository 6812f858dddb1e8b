// Russian wording of the errors a person meets when opening, reading and writing files. The C
// library speaks the process locale, which is English on most of these machines.
#include "system_reason.h"

#include <cerrno>
#include <cstring>

namespace folvek {

namespace {
bool inRussian = true;
}  // namespace

void setSystemReasonsInRussian(bool russian) {
    inRussian = russian;
}

std::string systemReason(int error) {
    return inRussian ? russianSystemReason(error) : std::strerror(error);
}

std::string russianSystemReason(int error) {
    switch (error) {
        case ENOENT:
            return "Нет такого файла или каталога";
        case EACCES:
        case EPERM:
            return "Нет доступа";
        case EISDIR:
            return "Это каталог, а не файл";
        case ENOTDIR:
            return "Часть пути не является каталогом";
        case ENOSPC:
            return "Нет места на диске";
        case EDQUOT:
            return "Превышена квота на диске";
        case ENAMETOOLONG:
            return "Слишком длинное имя файла";
        case EROFS:
            return "Диск доступен только для чтения";
        case EEXIST:
            return "Файл уже существует";
        case EMFILE:
        case ENFILE:
            return "Открыто слишком много файлов";
        case EIO:
            return "Ошибка ввода-вывода";
        case ELOOP:
            return "Слишком много символических ссылок в пути";
        case EFBIG:
            return "Файл слишком велик";
        case EBUSY:
            return "Файл занят";
        case ENOMEM:
            return "Недостаточно памяти";
        case EINVAL:
            return "Недопустимый аргумент";
        default:
            return std::strerror(error);
    }
}

}  // namespace folvek
