// Qt's own Russian texts (file, print and font dialogs, the Yes/No/Cancel buttons), so that the
// standard dialogs speak the program's language whatever the user's locale.
#pragma once

class QCoreApplication;
class QTranslator;

namespace folvek {

// Installs Qt's Russian catalogue (Debian's qt6-translations-l10n) into `app`. Returns the
// installed translator (owned by `app`), or null when the catalogue is not on this system; the
// dialogs are then in English and nothing else changes.
QTranslator* installQtTranslations(QCoreApplication& app);

}  // namespace folvek
