// The process-wide objects of the shell.
#include "app_globals.h"

#include <QtGlobal>

#include "message_boxes.h"

static void initFolvekQrc() {
    Q_INIT_RESOURCE(folvek);
}

namespace folvek {

void initResources() {
    static const bool done = (initFolvekQrc(), true);
    (void)done;
}

QtMessages& appMessages() {
    static QtMessages messages;
    return messages;
}

AppObjects& app() {
    static AppObjects objects;
    return objects;
}

}  // namespace folvek
