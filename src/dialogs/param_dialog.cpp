// Filling the parameters dialog from the record, taking the values back, and the dialog's own
// commands (OK, "Отмена", "Сохранить как...", the picture and font choosers, help).
#include "param_dialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <charconv>

#include "center_dialog.h"
#include "dialog_hooks.h"
#include "dialog_numbers.h"
#include "document_record.h"
#include "help_viewer.h"
#include "mul_div.h"
#include "param_template.h"
#include "settings_file_dialog.h"
#include "string_table.h"

namespace folvek {

namespace {

constexpr long double kMmPerHundredth = 0.254L;
constexpr long double kHundredthsPerMm = 3.937007874015748L;
constexpr int kPictureNameBuffer = 255;
constexpr std::size_t kFaceNameSize = 31;
constexpr std::size_t kPathSize = 254;
constexpr int kNumberEditLimit = 50;

QLineEdit* edit(QDialog* d, int id) {
    return qobject_cast<QLineEdit*>(dialogItem(d, id));
}
QAbstractButton* button(QDialog* d, int id) {
    return qobject_cast<QAbstractButton*>(dialogItem(d, id));
}

void setText(QDialog* d, int id, const QString& text) {
    if (QLineEdit* e = edit(d, id)) e->setText(text);
}
QString text(QDialog* d, int id) {
    QLineEdit* e = edit(d, id);
    return e ? e->text() : QString();
}
// In the order of EncodingChoice.
const char* const kEncodingNames[] = {"Автоматически", "DOS (866)", "Windows (1251)", "KOI8-R",
                                      "UTF-8"};

QComboBox* combo(QDialog* d, int id) {
    return qobject_cast<QComboBox*>(dialogItem(d, id));
}

void setChecked(QDialog* d, int id, std::int32_t on) {
    if (QAbstractButton* b = button(d, id)) b->setChecked(on != 0);
}
std::int32_t checked(QDialog* d, int id) {
    QAbstractButton* b = button(d, id);
    return b && b->isChecked() ? 1 : 0;
}

// "%4.2f" in the C locale: the application's locale may use a decimal comma.
QString millimetres(long double hundredths) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, hundredths * kMmPerHundredth,
                                 std::chars_format::fixed, 2);
    QString s = QString::fromLatin1(buf, r.ec == std::errc() ? r.ptr - buf : 0);
    if (s.isEmpty()) s = QStringLiteral("0.00");
    return s.rightJustified(4, QLatin1Char(' '));
}

// Hundredths of an inch, rounded to the double the settings field is.
long double hundredths(const QString& mm) {
    return static_cast<double>(leadingReal(mm) * kHundredthsPerMm);
}

void fillDialog(QDialog* d, DocumentRecord& p) {
    CenterDialog(d);
    setText(d, kParamLeftMargin, millimetres(p.LeftMargin));
    setText(d, kParamTopMargin, millimetres(p.TopMargin));
    setText(d, kParamBottomMargin, millimetres(p.BottomMargin));
    setText(d, kParamTopFile, QString::fromStdString(p.TopFile));
    setText(d, kParamBottFile, QString::fromStdString(p.BottFile));
    setChecked(d, kParamIsTopPicture, p.IsTopPicture);
    setChecked(d, kParamIsBotPicture, p.IsBotPicture);
    setChecked(d, kParamInAll1, p.InAll1);
    setChecked(d, kParamInAll2, p.InAll2);
    setChecked(d, kParamAsBackground, p.asBackground);
    setChecked(d, kParamInTextEnd, p.inTextEnd);
    setChecked(d, kParamIsNumPage, p.IsNumPage);
    // The user's own DOS setting (with "Автоматически" the fallback for text that cannot be
    // told), not what the shown document was found to be.
    setChecked(d, kParamIsDos, p.userIsDos());
    if (QComboBox* c = combo(d, kParamEncoding)) {
        c->clear();
        for (const char* name : kEncodingNames) c->addItem(QString::fromUtf8(name));
        c->setCurrentIndex(static_cast<int>(p.Encoding));
    }
    setText(d, kParamCompress1, QString::number(p.Compress1));
    setText(d, kParamCompress2, QString::number(p.Compress2));
    setText(d, kParamPenWidth, QString::number(p.PenWidth));
    setText(d, kParamHeightString, QString::number(p.HeightString));
    setChecked(d, kParamIsWrap, p.isWrap);
    setChecked(d, kParamFitWidth, p.FitWidth);
    setText(d, kParamFontName, QString::fromUtf8(p.logFont.faceName));
    setText(d, kParamFontPoints,
            QString::number(heightToPoints(p.logFont.height, screenLogPixelsY(d))));
    // Only 0 and 1 have a radio button; 127 + Orient would otherwise tick a check box.
    if (p.Orient == 0 || p.Orient == 1) setChecked(d, kParamPortrait + p.Orient, 1);
}

void takeValuesBack(QDialog* d, DocumentRecord& p) {
    p.LeftMargin = hundredths(text(d, kParamLeftMargin));
    p.TopMargin = hundredths(text(d, kParamTopMargin));
    p.BottomMargin = hundredths(text(d, kParamBottomMargin));
    p.TopFile = utf8Cut(text(d, kParamTopFile), kPathSize);
    p.BottFile = utf8Cut(text(d, kParamBottFile), kPathSize);
    p.IsTopPicture = checked(d, kParamIsTopPicture);
    p.IsBotPicture = checked(d, kParamIsBotPicture);
    p.InAll1 = checked(d, kParamInAll1);
    p.InAll2 = checked(d, kParamInAll2);
    p.asBackground = checked(d, kParamAsBackground);
    p.inTextEnd = checked(d, kParamInTextEnd);
    p.IsNumPage = checked(d, kParamIsNumPage);
    if (checked(d, kParamIsDos) != p.userIsDos()) p.setIsDos(checked(d, kParamIsDos));
    if (QComboBox* c = combo(d, kParamEncoding); c && c->currentIndex() >= 0) {
        const auto chosen = static_cast<EncodingChoice>(c->currentIndex());
        // A choice made here replaces what the command line fixed.
        if (chosen != p.Encoding) p.encodingOverride.reset();
        p.Encoding = chosen;
    }
    p.Compress1 = leadingInt(text(d, kParamCompress1));
    p.Compress2 = leadingInt(text(d, kParamCompress2));
    p.PenWidth = leadingInt(text(d, kParamPenWidth));
    p.HeightString = leadingInt(text(d, kParamHeightString));
    if (p.HeightString <= 0) p.HeightString = 100;
    if (p.HeightString < 10) p.HeightString = 10;
    p.isWrap = checked(d, kParamIsWrap);
    p.FitWidth = checked(d, kParamFitWidth);
    p.logFont.height = pointsToHeight(leadingInt(text(d, kParamFontPoints)), screenLogPixelsY(d));
    p.logFont.setFaceName(utf8Cut(text(d, kParamFontName), kFaceNameSize).c_str());
    if (checked(d, kParamPortrait)) p.Orient = 0;
    if (checked(d, kParamLandscape)) p.Orient = 1;
}

// The picture chooser for the top or the bottom picture's file field; nothing reaches the settings
// until OK.
void choosePicture(QDialog* d, int editId) {
    FileDialogRequest r;
    r.owner = d;
    r.startPath = text(d, editId).left(kPictureNameBuffer - 1);
    r.filters = nameFiltersFromPairs(loadString(StrBitmapFilter));
    const QString chosen = askFileName(FileDialogKind::Open, r);
    if (!chosen.isEmpty()) setText(d, editId, chosen);
}

// "Выбор шрифта": weight, italic and character set go to the record at once; face and size
// only into the dialog's fields.
void chooseFontInDialog(QDialog* d, DocumentRecord& p) {
    const int dpi = screenLogPixelsY(d);
    FontDialogRequest r;
    r.owner = d;
    r.logPixelsY = dpi;
    r.font = LogFont{};
    r.font.width = r.font.escapement = r.font.orientation = 0;
    r.font.underline = r.font.strikeOut = 0;
    r.font.outPrecision = r.font.clipPrecision = r.font.quality = r.font.pitchAndFamily = 0;
    r.font.setFaceName(utf8Cut(text(d, kParamFontName), kFaceNameSize).c_str());
    r.font.height = pointsToHeight(leadingInt(text(d, kParamFontPoints)), dpi);
    r.font.weight = p.logFont.weight;
    r.font.italic = p.logFont.italic;
    r.font.charSet = p.logFont.charSet;
    const auto chosen = dialogHooks().fontDialog(r);
    if (!chosen) return;
    p.logFont.charSet = chosen->font.charSet;
    p.logFont.weight = chosen->font.weight;
    p.logFont.italic = chosen->font.italic;
    setText(d, kParamFontName, QString::fromUtf8(chosen->font.faceName));
    setText(d, kParamFontPoints, QString::number(chosen->pointSizeTenths / 10));
}

bool handleCommand(ParamDialog* d, int id) {
    DocumentRecord& p = d->settings();
    switch (id) {
        case kParamOk:
            takeValuesBack(d, p);
            p.saveProfile(nullptr);
            d->done(1);
            return true;
        case kParamCancel:
            d->done(0);
            return true;
        case kParamSaveAs:
            // The values are taken even when the Save dialog is then cancelled.
            takeValuesBack(d, p);
            if (saveSettingsToChosenFile(d, p, proposedSettingsName(p, d->documentPath())))
                d->done(1);
            return true;
        case kParamTopChoose:
            choosePicture(d, kParamTopFile);
            return true;
        case kParamBotChoose:
            choosePicture(d, kParamBottFile);
            return true;
        case kParamChooseFont:
            chooseFontInDialog(d, p);
            return true;
        default:
            return false;
    }
}

}  // namespace

ParamDialog::ParamDialog(DocumentRecord& settings, QWidget* owner, std::string documentPath)
    : QDialog(owner), settings_(settings), documentPath_(std::move(documentPath)) {
    buildDialog(this, paramTemplate());
    // The numeric fields hold no more than is read back from them.
    for (int id : {kParamFontPoints, kParamLeftMargin, kParamTopMargin, kParamBottomMargin,
                   kParamPenWidth, kParamHeightString, kParamCompress1, kParamCompress2})
        if (QLineEdit* e = edit(this, id)) e->setMaxLength(kNumberEditLimit);
    // "&Размер:" moves the focus to the size field.
    if (auto* label = qobject_cast<QLabel*>(dialogItem(this, 123)))
        label->setBuddy(edit(this, kParamFontPoints));
    // Enter confirms, as in every dialog of the system.
    if (auto* ok = qobject_cast<QPushButton*>(dialogItem(this, kParamOk))) ok->setDefault(true);
    for (int id :
         {kParamOk, kParamCancel, kParamSaveAs, kParamTopChoose, kParamBotChoose, kParamChooseFont})
        if (QAbstractButton* b = button(this, id))
            connect(b, &QAbstractButton::clicked, this,
                    [this, id] { ParamDlgProc(this, DlgMessage::Command, id, 0); });
    ParamDlgProc(this, DlgMessage::InitDialog, 0, 0);
}

void ParamDialog::reject() {
    ParamDlgProc(this, DlgMessage::Command, kParamCancel, 0);
}

void ParamDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && ParamDlgProc(this, DlgMessage::Help, 0, 0)) return;
    QDialog::keyPressEvent(event);
}

bool ParamDlgProc(QDialog* window, DlgMessage message, int wParam, long) {
    auto* d = qobject_cast<ParamDialog*>(window);
    if (!d) return false;
    switch (message) {
        case DlgMessage::InitDialog:
            fillDialog(d, d->settings());
            return true;
        case DlgMessage::Command:
            return handleCommand(d, wParam);
        case DlgMessage::Help:
            if (dialogHooks().openHelp) dialogHooks().openHelp(HelpParameters);
            return true;
    }
    return false;
}

}  // namespace folvek
