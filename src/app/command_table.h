// The command set as resources: each command's menu text, accelerator keys and hint, and the
// layout of the menu bar and of the tool bar.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>
#include <vector>

namespace folvek {

struct CommandInfo {
    int id;
    const char* menuText;  // UTF-8; the part after a tab is the key shown in the menu
};

// Every command of the menu bar, in no particular order.
const std::vector<CommandInfo>& commandInfos();
const CommandInfo* findCommand(int id);

// The keys that run a command (empty for commands without keys).
QList<QKeySequence> acceleratorsFor(int id);

// The hint of a command: its string-table entry, empty when there is none.
QString commandHint(int id);

// The menu bar. An entry is a command, a separator (0) or a submenu.
struct MenuEntry {
    int id;  // 0: separator; -1: submenu
    const char* submenuText = nullptr;
    std::vector<int> submenu = {};
};
struct MenuSpec {
    const char* text;
    std::vector<MenuEntry> entries;
};
const std::vector<MenuSpec>& menuBarSpec();

// Tool-bar gadgets left to right: a command with its bitmap number, a separator (command 0),
// or the settings-file list (IdSettingsList).
struct ToolGadget {
    int command;
    int bitmap;
};
const std::vector<ToolGadget>& toolBarSpec();

}  // namespace folvek
