// The standard file dialogs behind the view's Open and Save As.
#include "file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace folvek {

QStringList nameFiltersFromPairs(const std::string& pairs) {
    QStringList parts;
    std::size_t start = 0;
    while (start < pairs.size()) {
        std::size_t end = pairs.find('\0', start);
        if (end == std::string::npos) end = pairs.size();
        parts << QString::fromUtf8(pairs.data() + start, static_cast<qsizetype>(end - start));
        start = end + 1;
    }
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& desc = parts[i];
        QString pattern = parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the parentheses; "*.*" is every file.
        if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        QString base = desc;
        if (int open = desc.lastIndexOf(QLatin1Char('(')); open > 0)
            base = desc.left(open).trimmed();
        filters << QStringLiteral("%1 (%2)").arg(base, pattern);
    }
    return filters;
}

namespace {

QString runDialog(const FileDialogRequest& r, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(r.owner);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilters(r.filters);
    if (!r.filters.isEmpty()) dialog.selectNameFilter(r.filters.first());
    if (!r.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(r.defaultSuffix);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!r.startPath.isEmpty()) {
        QFileInfo fi(r.startPath);
        dialog.setDirectory(fi.absolutePath());
        dialog.selectFile(fi.fileName());
    }
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

}  // namespace

QString runOpenFileDialog(const FileDialogRequest& request) {
    return runDialog(request, QFileDialog::AcceptOpen);
}

QString runSaveFileDialog(const FileDialogRequest& request) {
    return runDialog(request, QFileDialog::AcceptSave);
}

}  // namespace folvek
