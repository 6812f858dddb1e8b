// The tool bar and its settings-file list.
#include "main_tool_bar.h"

#include "settings_files.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

#include "app_globals.h"
#include "command_ids.h"
#include "command_table.h"
#include "dialog_template.h"
#include "document_record.h"
#include "report_view.h"
#include "settings_files.h"
#include "shell_state.h"

namespace folvek {

MainToolBar::MainToolBar(ReportView* view, QWidget* parent) : QToolBar(parent), view_(view) {
    setObjectName(dialogObjectName(IdToolBar));
    setProperty("dialogId", static_cast<int>(IdToolBar));
    setWindowTitle(QStringLiteral("Toolbar"));
    setOrientation(Qt::Horizontal);
    setMovable(true);
    setFloatable(true);
    setIconSize(QSize(20, 20));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    QFont barFont = font();
    barFont.setPointSize(10);
    barFont.setBold(false);
    barFont.setItalic(false);
    setFont(barFont);

    for (const ToolGadget& g : toolBarSpec()) {
        if (g.command == 0) {
            addSeparator();
        } else if (g.command == IdSettingsList) {
            combo_ = new QComboBox(this);
            combo_->setObjectName(dialogObjectName(IdSettingsList));
            combo_->setProperty("dialogId", static_cast<int>(IdSettingsList));
            combo_->setEditable(false);  // drop-down list: pick an entry only
            // Room for a settings file's usual name ("warehouse-866.ini") in the list's own
            // font at any resolution, where 120 pixels cut it.
            combo_->setMinimumContentsLength(20);
            combo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            combo_->setFocusPolicy(Qt::ClickFocus);
            addWidget(combo_);
            connect(combo_, &QComboBox::activated, this,
                    [this](int index) { settingsListChosen(*view_, index); });
        } else {
            QAction* a = view_->commandAction(g.command);
            a->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(g.bitmap)));
            addAction(a);
        }
    }
    app().settingsList = combo_;
}

MainToolBar::~MainToolBar() {
    if (app().settingsList == combo_) app().settingsList = nullptr;
}

void MainToolBar::setupWindow() {
    refreshSettingsList(view_ ? view_->record() : nullptr);
    // "MS Sans Serif" has no size below 8 points, so the 6-unit request realised as 8 points.
    comboFont_ = QFont(QStringLiteral("MS Sans Serif"));
    comboFont_.setStyleHint(QFont::SansSerif, QFont::PreferDefault);
    comboFont_.setPointSize(8);
    comboFont_.setWeight(QFont::Normal);
    comboFont_.setItalic(false);
    comboFont_.setUnderline(false);
    comboFont_.setStrikeOut(false);
    combo_->setFont(comboFont_);
    if (view_) view_->setFocus(Qt::OtherFocusReason);
}

void refreshSettingsList(const DocumentRecord* record) {
    refreshSettingsFiles(record);
}

}  // namespace folvek
